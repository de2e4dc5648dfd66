// The diffusion pass of one line, as the halftoner hands it to a kernel:
// the line's slots are separated already, carries and pending shares start
// at zero, and the kernel leaves the carries and the noise position as the
// line ends, and sums the droplet volumes of the dots it sets.
#pragma once

#include <cstdint>

#include "driver/raster/band_convert.h"

namespace rx3 {

struct DiffusionLine {
  const ConvertedPixel* pixels;
  int count;
  int parity;
  bool fourInks;
  int16_t* separation;  // slots, 2 x 8 per pixel
  int16_t* errorLine;   // 8 per pixel, pixel x at group x + 1
  uint8_t* dotPlanes;   // cleared; byte k of plane j at k x 8 + j
  const int8_t* noise;
  int32_t noisePos;
  int32_t droplets[3];    // small, medium, large, picolitres
  int32_t carries[8];     // out
  uint64_t inkTotals[8];  // out: picolitres per ink
};

// The same pass on eight 32-bit lanes at once (one lane per ink); false,
// doing nothing, when the processor cannot run it.
bool diffuseLineVector(DiffusionLine* line);

}  // namespace rx3
