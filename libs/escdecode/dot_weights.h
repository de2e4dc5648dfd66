// The coverage a dot of each size stands for (no dot, small, medium,
// large: 4080 is full), and the weight of a raster byte's four dots, for
// cells at least four dots across (a byte's dots then never straddle two
// cells, its first dot being at a multiple of four). Every weight is a
// multiple of 16, so cell sums shift right by up to four bits without a
// remainder.
#pragma once

#include <array>
#include <cstdint>

namespace escp {

constexpr uint32_t kDotWeight[4] = {0, 1024, 2048, 4080};

constexpr std::array<uint32_t, 256> byteWeights() {
  std::array<uint32_t, 256> w{};
  for (int b = 0; b < 256; ++b)
    for (int i = 0; i < 4; ++i) w[static_cast<size_t>(b)] += kDotWeight[(b >> (6 - 2 * i)) & 3];
  return w;
}
inline constexpr std::array<uint32_t, 256> kByteWeight = byteWeights();

}  // namespace escp
