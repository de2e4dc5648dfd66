// Rendered lines for the raster benchmark, 8 bytes per pixel as the render
// context delivers them (RGB pixels, kind byte FF).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace raster_bench {

enum class Content {
  kPhoto,          // a photograph placed at 300 ppi: each source pixel covers 2.4 dots
  kPhotoDistinct,  // a photograph at device resolution: a different value at almost every dot
  kFlat,           // flat colour areas, paper white between them
  kImage,          // an image file, repeated across the page at one pixel a dot
};

const char* contentName(Content content);

// Makes the rows of one page, each line its own (nothing is cycled).
class RowSource {
 public:
  RowSource(Content content, int dpi, int width);
  // Takes the pixels of an image file (PNG, PPM, JPEG, BMP) for kImage.
  static bool loadImage(const char* path, std::string* error);
  // The loaded image's RGB pixels (rows top first); empty before a load.
  static const std::vector<uint8_t>& imagePixels(int* width, int* height);
  // True when the content can be made (an image has been loaded for kImage).
  bool ready() const;
  // Fills one rendered row (width pixels, 8 bytes each) of the given line.
  void render(int line, uint8_t* row) const;

 private:
  void renderDistinct(int line, uint8_t* row) const;
  Content content_;
  int dpi_;
  int width_;
  // Column terms of the distinct photograph: its waves are sums of a
  // column angle and a line angle, so each line costs a few products a dot.
  std::vector<double> columnSin_, columnCos_, columnVignette_;
};

}  // namespace raster_bench
