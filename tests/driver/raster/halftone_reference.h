// The halftoner in its plain form, one step after another as the algorithm
// reads, to hold the fast path to the same dots.
#pragma once

#include <cstdint>

#include "driver/machines/machine_state.h"
#include "driver/raster/band_convert.h"

namespace raster_test {

void referenceHalftone(MachineState* state, int line, const rx3::ConvertedPixel* pixels, int count, bool fourInks,
                       uint64_t totals[8]);

// The diffusion alone, of a line separated beforehand: 8 inks per pixel and
// each pixel's diffusion kind (0 nothing drawn, 1 paper white, 2 inks).
void referenceDiffuse(MachineState* state, int line, const int16_t* inks, const uint8_t* kinds, int count,
                      bool fourInks, uint64_t totals[8]);

}  // namespace raster_test
