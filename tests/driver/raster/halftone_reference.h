// The halftoner in its plain form, one step after another as the algorithm
// reads, to hold the fast path to the same dots.
#pragma once

#include <cstdint>

#include "driver/machines/machine_state.h"
#include "driver/raster/band_convert.h"

namespace raster_test {

void referenceHalftone(MachineState* state, int line, const rx3::ConvertedPixel* pixels, int count, bool fourInks,
                       uint64_t totals[8]);

}  // namespace raster_test
