// Band colour conversion: one rendered line (8 bytes per pixel) into
// converted pixel records of four device values on the 0..4080 scale.
#pragma once

#include <cstdint>

#include "Device.h"

namespace rx3 {

// Kinds of a converted pixel.
constexpr int16_t kPixelNothing = 0;  // nothing drawn here
constexpr int16_t kPixelWhite = 1;    // drawn, paper white
constexpr int16_t kPixelInk = 4;      // drawn, ink values present

// Kind bytes of a rendered pixel (byte 7).
constexpr uint8_t kRenderedRgb = 0xFF;
constexpr uint8_t kRenderedCmyk = 0xFE;

// The colour mode that converts in CMYK; any other value converts in RGB.
constexpr int kColorModeCmyk = 254;

struct ConvertedPixel {
  int16_t values[4];  // cyan, magenta, yellow, black, 0..4080
  int16_t kind;       // kPixelInk, kPixelWhite or kPixelNothing
  int16_t drawn;      // 1 for ink and paper white, 0 for nothing drawn
};
static_assert(sizeof(ConvertedPixel) == 12, "a converted pixel is 12 bytes");

// Converts count pixels. Pixels of the other colour space are first turned
// into the mode's own space in place (rendered is changed). A one-entry
// cache of the last converted input lives for this call only.
void convertBand(jCMS transform, int colorMode, uint8_t* rendered, ConvertedPixel* out, int count);

}  // namespace rx3
