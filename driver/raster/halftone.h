// Line halftoning: separates one line of converted pixels into the
// separation slot of its parity, then error-diffuses every ink into three
// dot sizes in serpentine order, writing 2-bit dot codes into the
// interleaved dot planes of the page.
#pragma once

#include <cstdint>

#include "driver/machines/machine_state.h"
#include "driver/raster/band_convert.h"
#include "driver/raster/separation.h"

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

// A line separated beforehand by separateLineInks: 8 inks per pixel (the
// four-ink set leaves the upper four 0) and each pixel's diffusion kind.
struct SeparatedLine {
  const int16_t* inks;
  const uint8_t* kinds;
};

// The same for either ink set into planes (cleared, laid out as the page's
// dot planes) in place of the page's own (inkTotals: 8 entries, the
// four-ink set leaves the upper four 0). With a separated line, pixels are
// not read.
void halftoneLineInto(MachineState* state, int line, const ConvertedPixel* pixels, const SeparatedLine* separated,
                      int count, uint8_t* planes, uint64_t inkTotals[8]);

// True when the halftoner takes inks separated beforehand (the vector
// pass); the portable pass separates as it goes and ignores them.
bool halftoneTakesSeparatedInks();

// What the separation of a page's lines needs, taken from the page's
// state once, so that separating reads no state.
struct LineSeparation {
  SeparationParams params;
  bool fourInks;
  int32_t pageWidth;
};
LineSeparation lineSeparationOf(const MachineState* state);

// Separates count records into inks and kinds for a later halftoning of
// their line: the separation does not depend on the line before, so it may
// run on another thread ahead of the halftoning. Only when
// halftoneTakesSeparatedInks().
void separateLineInks(const LineSeparation& separation, const ConvertedPixel* pixels, int count, int16_t* inks,
                      uint8_t* kinds);

// Lets the halftoner use the processor's vector unit when it has one (the
// default); false keeps it on the portable pass. Both make the same dots.
void allowVectorHalftone(bool allowed);

}  // namespace rx3
