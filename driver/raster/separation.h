// Ink separation: four device values (cyan, magenta, yellow, black on the
// 0..4080 scale) into the eight inks of the photo sets or the four inks of
// the four-ink set, under the total ink limit of the document.
#pragma once

#include <cstdint>

#include "driver/machines/machine_state.h"

namespace rx3 {

struct ConvertedPixel;

// Plane order of the eight-ink sets.
enum InkPlane { kCyan, kMagenta, kYellow, kBlack, kLightCyan, kLightMagenta, kLightBlack, kLightLightBlack };

// The separation settings of a document, taken from the engine state once
// per line so the per-pixel work reads no state.
struct SeparationParams {
  int32_t limit;                   // total ink limit x 16
  int32_t lightCyanDensity;        // percent
  int32_t lightMagentaDensity;     // percent
  int32_t lightBlackDensity;       // percent
  int32_t lightLightBlackDensity;  // percent
};

SeparationParams separationParams(const EngineState& engine);

// Eight inks in plane order; the light inks take the tone that the
// headroom under the limit allows, above the limit the common part of
// cyan, magenta and yellow moves into black.
void separateEight(const SeparationParams& params, const int16_t device[4], int16_t inks[8]);

// Four inks: under the limit black is traded for cyan, magenta and yellow,
// above it the other way round.
void separateFour(const SeparationParams& params, const int16_t device[4], int16_t inks[4]);

// The separation of a row of count pixels into slot `parity` (0 or 1) of
// each pixel's pair of slots, 8 int16 a slot: nothing drawn and paper
// white empty their slot, ink takes the inks of separateEight or, with
// fourInks, of separateFour (the upper four then 0), any other kind leaves
// its slot as it was. Eight pixels at a time where the processor has AVX2.
void separateRow(const SeparationParams& params, const ConvertedPixel* pixels, int count, int parity, int16_t* slots,
                 bool fourInks);

// The same into one slot a pixel: pixel x's inks at inks + x x 8.
void separateRowDense(const SeparationParams& params, const ConvertedPixel* pixels, int count, int16_t* inks,
                      bool fourInks);

}  // namespace rx3
