#include "bench_content.h"

#include <stb_image.h>

#include <cmath>

namespace raster_bench {
namespace {

constexpr double kSourcePpi = 300.0;
// Wave k of channel c is sin(u * kU[c] + v * kV[c] + kPhase[c]) (blue a cosine).
constexpr double kU[3] = {7.1, 3.7, 2.1};
constexpr double kV[3] = {2.3, -5.2, 6.3};
constexpr double kPhase[3] = {0.0, 1.0, 3.14159265358979323846 / 2};
constexpr double kMean[3] = {128, 128, 120};
constexpr double kSwing[3] = {110, 100, 100};

struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

Image& loadedImage() {
  static Image image;
  return image;
}

uint32_t hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}

uint8_t clampByte(double x) {
  return static_cast<uint8_t>(x < 0 ? 0 : x > 255 ? 255 : x);
}

// A smooth scene with texture: colour waves, a vignette and a fine grain.
// The scene is one unit wide (scale pixels), so the vignette stays within
// 0.75..1 and no part of the page runs into flat, clipped colour.
void photoPixel(int sx, int sy, double scale, uint8_t* px) {
  const double u = sx / scale, v = sy / scale;
  const double grain = static_cast<int>(hash(static_cast<uint32_t>(sx) * 7919u + static_cast<uint32_t>(sy)) % 25) - 12;
  const double vignette = 1.0 - 0.5 * ((u - 0.5) * (u - 0.5) + (v - 0.5) * (v - 0.5));
  for (int c = 0; c < 3; ++c)
    px[c] = clampByte(kMean[c] + kSwing[c] * std::sin(u * kU[c] + v * kV[c] + kPhase[c]) * vignette + grain);
}

void setKind(uint8_t* px) {
  px[3] = px[4] = px[5] = px[6] = 0;
  px[7] = 0xFF;
}

}  // namespace

const char* contentName(Content content) {
  switch (content) {
    case Content::kPhoto:
      return "photo-300ppi";
    case Content::kPhotoDistinct:
      return "photo-distinct";
    case Content::kFlat:
      return "flat";
    case Content::kImage:
      return "image";
  }
  return "?";
}

const std::vector<uint8_t>& RowSource::imagePixels(int* width, int* height) {
  const Image& image = loadedImage();
  *width = image.width;
  *height = image.height;
  return image.rgb;
}

bool RowSource::loadImage(const char* path, std::string* error) {
  int width = 0, height = 0, channels = 0;
  unsigned char* data = stbi_load(path, &width, &height, &channels, 3);
  if (!data) {
    *error = std::string("cannot read the image ") + path + ": " +
             (stbi_failure_reason() ? stbi_failure_reason() : "unknown");
    return false;
  }
  Image& image = loadedImage();
  image.width = width;
  image.height = height;
  image.rgb.assign(data, data + static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  stbi_image_free(data);
  return true;
}

RowSource::RowSource(Content content, int dpi, int width) : content_(content), dpi_(dpi), width_(width) {
  if (content != Content::kPhotoDistinct) return;
  columnSin_.resize(static_cast<size_t>(width) * 3);
  columnCos_.resize(static_cast<size_t>(width) * 3);
  columnVignette_.resize(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x) {
    const double u = x / static_cast<double>(width);
    for (int c = 0; c < 3; ++c) {
      columnSin_[static_cast<size_t>(x) * 3 + c] = std::sin(u * kU[c] + kPhase[c]);
      columnCos_[static_cast<size_t>(x) * 3 + c] = std::cos(u * kU[c] + kPhase[c]);
    }
    columnVignette_[static_cast<size_t>(x)] = (u - 0.5) * (u - 0.5);
  }
}

bool RowSource::ready() const {
  return content_ != Content::kImage || !loadedImage().rgb.empty();
}

void RowSource::renderDistinct(int line, uint8_t* row) const {
  const double v = line / static_cast<double>(width_);
  double lineSin[3], lineCos[3];
  for (int c = 0; c < 3; ++c) {
    lineSin[c] = std::sin(v * kV[c]);
    lineCos[c] = std::cos(v * kV[c]);
  }
  const double lineVignette = (v - 0.5) * (v - 0.5);
  for (int x = 0; x < width_; ++x) {
    uint8_t* px = row + static_cast<size_t>(x) * 8;
    const double grain =
        static_cast<int>(hash(static_cast<uint32_t>(x) * 7919u + static_cast<uint32_t>(line)) % 25) - 12;
    const double vignette = 1.0 - 0.5 * (columnVignette_[static_cast<size_t>(x)] + lineVignette);
    const double* s = &columnSin_[static_cast<size_t>(x) * 3];
    const double* k = &columnCos_[static_cast<size_t>(x) * 3];
    for (int c = 0; c < 3; ++c)
      px[c] = clampByte(kMean[c] + kSwing[c] * (s[c] * lineCos[c] + k[c] * lineSin[c]) * vignette + grain);
    setKind(px);
  }
}

void RowSource::render(int line, uint8_t* row) const {
  static const uint8_t kFlatColours[][3] = {{255, 255, 255}, {0, 90, 170}, {230, 40, 30},
                                            {250, 210, 0},   {40, 40, 40}, {120, 200, 140}};
  if (content_ == Content::kPhotoDistinct) {
    renderDistinct(line, row);
    return;
  }
  const Image& image = loadedImage();
  const int band = line / 200;
  for (int x = 0; x < width_; ++x) {
    uint8_t* px = row + static_cast<size_t>(x) * 8;
    setKind(px);
    switch (content_) {
      case Content::kPhoto:
        photoPixel(static_cast<int>(x * kSourcePpi / dpi_), static_cast<int>(line * kSourcePpi / dpi_),
                   width_ * kSourcePpi / dpi_, px);
        break;
      case Content::kFlat: {
        const uint8_t* c = kFlatColours[(x / 1500 + band) % 6];
        px[0] = c[0];
        px[1] = c[1];
        px[2] = c[2];
        break;
      }
      case Content::kImage: {
        const uint8_t* c = &image.rgb[(static_cast<size_t>(line % image.height) * static_cast<size_t>(image.width) +
                                       static_cast<size_t>(x % image.width)) *
                                      3];
        px[0] = c[0];
        px[1] = c[1];
        px[2] = c[2];
        break;
      }
      case Content::kPhotoDistinct:
        break;
    }
  }
}

}  // namespace raster_bench
