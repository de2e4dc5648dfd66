// The simple colour conversions between 8-bit RGB and CMYK.
//
// Choices of this library: RGB to CMYK takes the complements and moves their
// common part wholly into black (full under-colour removal); CMYK to RGB
// adds black to each complement and clamps at full. Inputs are clamped to
// 0..255 first, so a caller's stray value never wraps.
#include <cstdint>

#include "Device.h"

namespace {

int clamp255(int v) {
  return v < 0 ? 0 : v > 255 ? 255 : v;
}

}  // namespace

JDEVICE_API uint32_t jColorRGBtoCMYK(int red, int green, int blue) {
  const int c = 255 - clamp255(red);
  const int m = 255 - clamp255(green);
  const int y = 255 - clamp255(blue);
  int k = c < m ? c : m;
  if (y < k) k = y;
  return static_cast<uint32_t>(c - k) << 24 | static_cast<uint32_t>(m - k) << 16 | static_cast<uint32_t>(y - k) << 8 |
         static_cast<uint32_t>(k);
}

JDEVICE_API uint32_t jColorCMYKtoRGB(int cyan, int magenta, int yellow, int black) {
  const int k = clamp255(black);
  const int r = 255 - clamp255(clamp255(cyan) + k);
  const int g = 255 - clamp255(clamp255(magenta) + k);
  const int b = 255 - clamp255(clamp255(yellow) + k);
  return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16;
}
