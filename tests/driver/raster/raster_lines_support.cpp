#include "raster_lines.h"

#include <cmath>
#include <random>

namespace raster_test {

rx3::ConvertedPixel inkPixel(int c, int m, int y, int k) {
  return {{static_cast<int16_t>(c), static_cast<int16_t>(m), static_cast<int16_t>(y), static_cast<int16_t>(k)},
          rx3::kPixelInk,
          1};
}
rx3::ConvertedPixel whitePixel() {
  return {{0, 0, 0, 0}, rx3::kPixelWhite, 1};
}
rx3::ConvertedPixel nothingPixel() {
  return {{0, 0, 0, 0}, rx3::kPixelNothing, 0};
}

std::vector<rx3::ConvertedPixel> randomLine(int width, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> value(0, 4080);
  std::uniform_int_distribution<int> choice(0, 99);
  std::vector<rx3::ConvertedPixel> line;
  while (static_cast<int>(line.size()) < width) {
    const int c = choice(rng);
    rx3::ConvertedPixel px = c < 8    ? whitePixel()
                             : c < 16 ? nothingPixel()
                                      : inkPixel(value(rng), value(rng), value(rng), value(rng));
    if (c >= 16 && c < 30) px.values[choice(rng) % 4] = 0;
    const int run = choice(rng) < 20 ? 1 + choice(rng) % 12 : 1;
    for (int i = 0; i < run && static_cast<int>(line.size()) < width; ++i) line.push_back(px);
  }
  return line;
}

std::vector<rx3::ConvertedPixel> photoLine(int width, int line, uint32_t seed) {
  std::mt19937 rng(seed + static_cast<uint32_t>(line) * 7919u);
  std::uniform_int_distribution<int> grain(-24, 24);
  std::vector<rx3::ConvertedPixel> out(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x) {
    const double u = static_cast<double>(x) / width;
    const double v = line / 64.0;
    auto channel = [&](double phase, double scale) {
      const double s = 0.5 + 0.5 * std::sin(6.2831853 * (u * scale + v * 0.3 + phase));
      const int value = static_cast<int>(s * 4400.0) - 200 + grain(rng);
      return value < 0 ? 0 : value > 4080 ? 4080 : value;
    };
    out[static_cast<size_t>(x)] =
        inkPixel(channel(0.0, 1.3), channel(0.33, 0.9), channel(0.66, 2.1), channel(0.1, 0.7));
  }
  return out;
}

}  // namespace raster_test
