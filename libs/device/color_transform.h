// The colour transform behind a jCMS handle: a lookup grid of the driver's
// conversion, made by jColorCmsSetupEx and applied by PFLink.
#pragma once

#include <cstdint>

#include "Device.h"

namespace device {

constexpr uint32_t kTransformMagic = 0x534D434Au;  // "JCMS"
constexpr int kGridPoints = 17;                    // nodes per input channel
constexpr int kGridOutputs = 4;                    // cyan, magenta, yellow, black
constexpr int32_t kFullScale = 4080;               // output scale: 255 x 16

// Colour mode of a profile that converts in CMYK.
constexpr int32_t kCmykColorMode = 254;

}  // namespace device

struct jColorTransform_ {
  uint32_t magic;
  int32_t inputs;  // 3 (RGB) or 4 (CMYK), each 0..255
  // kGridPoints^inputs nodes, kGridOutputs values each, clamped to 0..4080
  // (PFLink's arithmetic is exact over that range only). Node i of
  // a channel stands for the input i * 255 / 16; the first channel varies
  // slowest.
  int32_t* grid;
  // The same values as 16-bit integers, which they fit: the lookup reads
  // half the memory and weights two corners with one multiply-add. Made and
  // freed with the grid; only the Device and PFLink libraries know of it.
  int16_t* grid16;
};
