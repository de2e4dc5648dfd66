#include "bench_content.h"

#include <cmath>

namespace raster_bench {
namespace {

constexpr double kSourcePpi = 300.0;

uint32_t hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}

// A smooth scene with texture: colour waves, a vignette and a fine grain.
void photoPixel(int sx, int sy, uint8_t* px) {
  const double u = sx / 900.0, v = sy / 900.0;
  const double grain = static_cast<int>(hash(static_cast<uint32_t>(sx) * 7919u + static_cast<uint32_t>(sy)) % 25) - 12;
  const double vignette = 1.0 - 0.5 * ((u - 0.5) * (u - 0.5) + (v - 0.5) * (v - 0.5));
  const double r = 128 + 110 * std::sin(u * 7.1 + v * 2.3) * vignette + grain;
  const double g = 128 + 100 * std::sin(u * 3.7 - v * 5.2 + 1.0) * vignette + grain;
  const double b = 120 + 100 * std::cos(u * 2.1 + v * 6.3) * vignette + grain;
  auto clamp = [](double x) { return static_cast<uint8_t>(x < 0 ? 0 : x > 255 ? 255 : x); };
  px[0] = clamp(r);
  px[1] = clamp(g);
  px[2] = clamp(b);
}

}  // namespace

const char* contentName(Content content) {
  switch (content) {
    case Content::kPhoto:
      return "photo";
    case Content::kPhotoGrain:
      return "photo-grain";
    case Content::kFlat:
      return "flat";
  }
  return "?";
}

void renderRow(Content content, int dpi, int line, int width, uint8_t* row) {
  static const uint8_t kFlatColours[][3] = {{255, 255, 255}, {0, 90, 170}, {230, 40, 30},
                                            {250, 210, 0},   {40, 40, 40}, {120, 200, 140}};
  const int band = line / 200;
  for (int x = 0; x < width; ++x) {
    uint8_t* px = row + static_cast<size_t>(x) * 8;
    px[3] = px[4] = px[5] = px[6] = 0;
    px[7] = 0xFF;
    switch (content) {
      case Content::kPhoto:
        photoPixel(static_cast<int>(x * kSourcePpi / dpi), static_cast<int>(line * kSourcePpi / dpi), px);
        break;
      case Content::kPhotoGrain:
        photoPixel(x, line, px);
        break;
      case Content::kFlat: {
        const uint8_t* c = kFlatColours[(x / 1500 + band) % 6];
        px[0] = c[0];
        px[1] = c[1];
        px[2] = c[2];
        break;
      }
    }
  }
}

}  // namespace raster_bench
