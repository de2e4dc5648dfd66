// Lines of converted pixels for the raster tests: random mixtures and
// photograph-like gradients.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/raster/band_convert.h"

namespace raster_test {

rx3::ConvertedPixel inkPixel(int c, int m, int y, int k);
rx3::ConvertedPixel whitePixel();
rx3::ConvertedPixel nothingPixel();

// Values anywhere on the scale, with paper white and nothing-drawn pixels
// and short runs of one colour mixed in.
std::vector<rx3::ConvertedPixel> randomLine(int width, uint32_t seed);
// Smooth gradients with a little grain, zero inks included, as a
// photograph converts.
std::vector<rx3::ConvertedPixel> photoLine(int width, int line, uint32_t seed);

}  // namespace raster_test
