// Rendered lines for the raster benchmark, 8 bytes per pixel as the render
// context delivers them (RGB pixels, kind byte FF).
#pragma once

#include <cstdint>
#include <vector>

namespace raster_bench {

enum class Content {
  kPhoto,       // a photograph placed at 300 ppi: each source pixel covers 2.4 dots
  kPhotoGrain,  // a photograph at device resolution: every dot differs
  kFlat,        // flat colour areas, paper white between them
};

const char* contentName(Content content);

// Fills one rendered row (width pixels, 8 bytes each) of the given line.
void renderRow(Content content, int dpi, int line, int width, uint8_t* row);

}  // namespace raster_bench
