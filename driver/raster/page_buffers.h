// The working buffers of one page: separation slots, error line, carries,
// dot planes, the packer's output, the halftone noise table and the droplet
// volumes. They live from the start to the end of a page.
#pragma once

#include <cstdint>

#include "driver/machines/machine_state.h"

namespace rx3 {

constexpr int kNoiseTableSize = 4199;

// Bytes of one plane row of a line of width dots: two bits per dot, rounded
// up to whole groups of eight dots.
constexpr int32_t rowBytesForWidth(int32_t width) {
  return ((width + 7) / 8) * 2;
}

// Stores width and height, allocates and initialises every page buffer,
// fills the noise table and sets the droplet volumes of the resolution.
// 1 on success; 0 (nothing left allocated) when width or height is not
// positive, a size would overflow, or memory runs out. The printing flag
// is never touched.
int setupPageBuffers(MachineState* state, int width, int height);

// Frees whatever page buffers exist and forgets them. Leaves the printing
// flag alone: a document goes on printing its next page. Returns 1.
int releasePageBuffers(MachineState* state);

// Fixes the noise seed for every later page of this process (for pages that
// must compare byte for byte); seedNoiseFromClock() undoes it. The environment
// variable RX3_NOISE_SEED, read once, fixes it the same way.
void setNoiseSeed(uint32_t seed);
void seedNoiseFromClock();

// Reads a seed as RX3_NOISE_SEED gives it: a decimal or 0x-hexadecimal
// number that fits 32 bits, nothing else. False for anything else.
bool parseNoiseSeed(const char* text, uint32_t* seed);

// Fills a noise table of kNoiseTableSize entries (-64..64) from a seed with
// the plug-in's own generator: the same seed gives the same table on every
// target.
void fillNoiseTable(int8_t* table, uint32_t seed);

}  // namespace rx3
