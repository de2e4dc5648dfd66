// Line halftoning: separates one line of converted pixels into the
// separation slot of its parity, then error-diffuses every ink into three
// dot sizes in serpentine order, writing 2-bit dot codes into the
// interleaved dot planes of the page.
#pragma once

#include <cstdint>

#include "driver/machines/machine_state.h"
#include "driver/raster/band_convert.h"

namespace rx3 {

// Dot codes of a pixel's bit pair.
constexpr uint8_t kDotNone = 0, kDotSmall = 1, kDotMedium = 2, kDotLarge = 3;

// The ink thresholds and their shares of the diffused error (sixteenths),
// by ink value range.
struct DiffusionShare {
  int32_t upTo;  // last ink value of the range
  int32_t below;
  int32_t belowAhead;
};
inline constexpr DiffusionShare kDiffusionShares[] = {
    {16, 5, 1}, {32, 5, 2}, {64, 5, 3}, {128, 6, 3}, {192, 7, 3}, {320, 7, 1}, {INT32_MAX, 7, 2},
};

// Halftones line `line` (parity line % 2) of count records counted from the
// page's left edge. The dot-plane buffer must be cleared beforehand. Adds
// each ink's droplet volume per dot into inkTotals (8 or 4 entries).
// count is cut to the page width.
void halftoneLineEight(MachineState* state, int line, const ConvertedPixel* pixels, int count, uint64_t inkTotals[8]);
void halftoneLineFour(MachineState* state, int line, const ConvertedPixel* pixels, int count, uint64_t inkTotals[4]);

// Lets the halftoner use the processor's vector unit when it has one (the
// default); false keeps it on the portable pass. Both make the same dots.
void allowVectorHalftone(bool allowed);

}  // namespace rx3
