// One line for the vector kernel: the separation pass fills the slot of
// every pixel of the line first (a pixel's separation does not depend on
// the order in which pixels are visited), then the diffusion pass sweeps
// the line. Carries and pending shares start at zero; the kernel leaves the
// carries and the noise position as the line ends, and sums the droplet
// volumes of the dots it sets.
#pragma once

#include <cstdint>

#include "driver/raster/band_convert.h"
#include "driver/raster/separation.h"

namespace rx3 {

// What the diffusion does at a pixel: restart the errors (nothing drawn),
// empty them (paper white) or diffuse the pixel's inks.
constexpr uint8_t kDiffuseReset = 0, kDiffuseWhite = 1, kDiffuseInks = 2;

inline uint8_t diffusionKindOf(const ConvertedPixel& px) {
  if (px.kind == kPixelNothing || px.drawn == 0) return kDiffuseReset;
  return px.kind == kPixelWhite ? kDiffuseWhite : kDiffuseInks;
}

struct DiffusionLine {
  const ConvertedPixel* pixels;
  int count;
  int parity;
  bool fourInks;
  SeparationParams separation;
  int16_t* slots;  // 2 x 8 per pixel
  // The line's inks separated beforehand, 8 per pixel (the four-ink set
  // leaves the upper four 0), or null: the kernel separates into the slots.
  const int16_t* inks;
  const uint8_t* kinds;  // with inks: each pixel's diffusion kind (pixels unread)
  int16_t* errorLine;    // 8 per pixel, pixel x at group x + 1
  uint8_t* dotPlanes;    // cleared; byte k of plane j at k x 8 + j
  const int8_t* noise;
  int32_t noisePos;
  int32_t droplets[3];    // small, medium, large, picolitres
  int32_t carries[8];     // out
  uint64_t inkTotals[8];  // out: picolitres per ink
};

// True when the processor can run the vector kernel.
bool vectorHalftoneAvailable();

// Both passes, the diffusion on eight 32-bit lanes at once, one lane per ink. Only when
// vectorHalftoneAvailable().
void diffuseLineVector(DiffusionLine* line);

// The separation pass on its own, into inks (8 per pixel) and each pixel's
// diffusion kind: nothing drawn and paper white give 0 inks. Pixels of
// another kind are left as they are.
void separateForDiffusion(const SeparationParams& params, const ConvertedPixel* pixels, int count, bool fourInks,
                          int16_t* inks, uint8_t* kinds);

}  // namespace rx3
