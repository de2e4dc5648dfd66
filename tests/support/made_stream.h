// Printer streams made up for tests of the stream decoder and of what is
// built on it: rows of one ink from their unpacked bytes, paper moves, and
// pages of random dots.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace test_support {

using Bytes = std::vector<uint8_t>;

// A row of one ink from its unpacked bytes, as literal packets.
inline void row(Bytes* s, uint8_t colour, const Bytes& data) {
  const size_t n = data.size();
  s->insert(s->end(), {0x1B, 'i', colour, 1, 2, static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), 1, 0});
  for (size_t at = 0; at < n; at += 128) {
    const size_t k = std::min<size_t>(128, n - at);
    s->push_back(static_cast<uint8_t>(k - 1));
    s->insert(s->end(), data.begin() + static_cast<ptrdiff_t>(at), data.begin() + static_cast<ptrdiff_t>(at + k));
  }
  s->push_back(0x0D);
}

inline void moveDown(Bytes* s, int lines) {
  s->insert(s->end(), {0x1B, '(', 'v', 2, 0, static_cast<uint8_t>(lines), static_cast<uint8_t>(lines >> 8)});
}

// A page of random dots in two inks: `lines` rows `gap` lines apart, each
// `bytes(i)` bytes wide.
template <typename Width>
Bytes randomPage(int lines, int gap, Width bytes, unsigned seed) {
  std::mt19937 random(seed);
  Bytes s;
  for (int i = 0; i < lines; ++i) {
    for (uint8_t colour : {uint8_t{0x02}, uint8_t{0x30}}) {
      Bytes data(static_cast<size_t>(bytes(i)));
      for (uint8_t& b : data) b = static_cast<uint8_t>(random());
      row(&s, colour, data);
    }
    moveDown(&s, gap);
  }
  s.push_back(0x0C);
  return s;
}

}  // namespace test_support
