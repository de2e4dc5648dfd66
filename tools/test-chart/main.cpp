// test-chart: writes our colour test chart as a PNG (600 x 400 pixels):
//   top band     patches of the primaries, secondaries and a grey scale
//   middle band  horizontal gradients of red, green, blue and grey
//   bottom band  left: a hue and lightness sweep; right: a photographic-
//                looking area (soft shapes with fine grain) in which
//                neighbouring dots always differ
// The same picture every run: no clock, no random generator.
#include <stb_image_write.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/atomic_file.h"

namespace {

constexpr int kWidth = 600, kHeight = 400;

struct Rgb {
  uint8_t r, g, b;
};

const Rgb kPatches[] = {{255, 0, 0},     {0, 255, 0},   {0, 0, 255},   {0, 255, 255},   {255, 0, 255},
                        {255, 255, 0},   {0, 0, 0},     {64, 64, 64},  {128, 128, 128}, {192, 192, 192},
                        {255, 255, 255}, {255, 128, 0}, {128, 0, 255}, {0, 128, 64},    {200, 150, 120}};

uint8_t clamp(double v) {
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v + 0.5);
}

// A fixed hash of a position: the grain of the photographic area.
int grain(int x, int y) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return int((h ^ (h >> 16)) & 31) - 16;
}

Rgb hue(double h, double lightness) {
  const double r = 0.5 + 0.5 * std::cos(6.283185307 * (h + 0.0 / 3));
  const double g = 0.5 + 0.5 * std::cos(6.283185307 * (h + 1.0 / 3));
  const double b = 0.5 + 0.5 * std::cos(6.283185307 * (h + 2.0 / 3));
  auto mix = [lightness](double c) { return lightness < 0.5 ? c * 2 * lightness : c + (1 - c) * (2 * lightness - 1); };
  return {clamp(255 * mix(r)), clamp(255 * mix(g)), clamp(255 * mix(b))};
}

Rgb photo(int x, int y) {
  const double u = x / 300.0, v = y / 160.0;
  const double sky = 0.5 + 0.5 * std::sin(3.1 * u + 1.7 * v);
  const double blob = std::exp(-((u - 0.5) * (u - 0.5) + (v - 0.45) * (v - 0.45)) * 12);
  const double ripple = 0.5 + 0.5 * std::sin(40 * u * v + 5 * u);
  // x and y enter every channel differently, so no two neighbours match.
  const int d = grain(x, y) + (x & 1) * 3 - (y & 1) * 2;
  return {clamp(60 + 150 * blob + 40 * ripple + d), clamp(90 + 100 * sky + 30 * blob + d + (x % 3)),
          clamp(140 + 90 * (1 - blob) * sky - 40 * ripple + d - (y % 3))};
}

Rgb pixelAt(int x, int y) {
  if (y < 120) {  // patches: 15 in a row of 40 pixels, with a white gap
    const int i = x / 40;
    if (x % 40 < 2 || y < 10 || y >= 110) return {255, 255, 255};
    return kPatches[i];
  }
  if (y < 240) {  // four gradients of 30 rows
    const uint8_t level = clamp(255.0 * x / (kWidth - 1));
    switch ((y - 120) / 30) {
      case 0:
        return {level, 0, 0};
      case 1:
        return {0, level, 0};
      case 2:
        return {0, 0, level};
      default:
        return {level, level, level};
    }
  }
  if (x < 300) return hue(x / 300.0, 1.0 - (y - 240) / 160.0);
  return photo(x - 300, y - 240);
}

void collect(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: test-chart <out.png>\n");
    return 2;
  }
  std::vector<uint8_t> pixels(kWidth * kHeight * 3);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb c = pixelAt(x, y);
      uint8_t* p = &pixels[(y * kWidth + x) * 3];
      p[0] = c.r, p[1] = c.g, p[2] = c.b;
    }
  }
  std::vector<uint8_t> png;
  if (!stbi_write_png_to_func(collect, &png, kWidth, kHeight, 3, pixels.data(), kWidth * 3) ||
      !platform::saveFileAtomically(argv[1], png.data(), png.size())) {
    std::fprintf(stderr, "test-chart: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
