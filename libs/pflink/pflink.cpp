// PFLink: applies a colour transform made by the Device library.
//
// The grid is interpolated over the simplex (tetrahedron for RGB, its
// four-dimensional counterpart for CMYK) that holds the input: the channels
// are ordered by their position inside the grid cell and the cell's corners
// are walked in that order. Everything is integer arithmetic with one final
// rounded division, so every target gives the same values, and an input on
// a grid node gives that node's values exactly.
//
// It runs once for every pixel that differs from the one before it, and a
// photograph defeats branch prediction, so the walk has no branch that
// depends on the pixel:
// - inputs are clamped to 0..255 only when one is outside, which depends
//   on the caller, not on the picture;
// - cell offset and fraction of every input value come from tables;
// - the order comes from a sorting network on keys that hold the
//   fraction above the channel's stride, so equal fractions still sort one
//   way (the corner between equal fractions has weight 0, so which way does
//   not change the result);
// - the four outputs of a corner are weighted at once (SSE2).
// Grid values are 0..4080 (the Device library clamps every node) and the
// weights sum to 255, so every sum is at most 1,040,400 plus the rounding.
#include <emmintrin.h>

#include <algorithm>

#include "PFLink.h"
#include "libs/device/color_transform.h"

// The 32-bit build compiles for processors without SSE2 by default; this
// code asks for it by name.
#if defined(__GNUC__) && !defined(__SSE2__)
#define PFLINK_SSE2 __attribute__((target("sse2")))
#else
#define PFLINK_SSE2
#endif

namespace {

constexpr uint32_t kPoints = device::kGridPoints;
constexpr int kCells = device::kGridPoints - 1;
static_assert(device::kGridOutputs == 4, "a node's outputs are one vector");

// Distance in grid values to the next node of a channel in slot s: slot 0
// varies slowest; RGB channels take slots 1..3.
constexpr uint32_t strideOf(int slot) {
  uint32_t stride = device::kGridOutputs;
  for (int s = slot; s < 3; ++s) stride *= kPoints;
  return stride;
}
constexpr uint32_t kStride[4] = {strideOf(0), strideOf(1), strideOf(2), strideOf(3)};

// A channel value's table entry is its sort key: the fraction (its place
// inside the cell, 0..255) above the channel's stride above the offset of
// its cell. Sorting keys orders the channels by fraction; equal fractions
// go by stride, and the offsets never decide, as strides differ. The sum of
// a pixel's keys holds the offset of its cell in its low 32 bits.
constexpr int kStrideShift = 32;
constexpr int kFractionShift = 48;
static_assert(kStride[0] < (1u << (kFractionShift - kStrideShift)), "a stride fits below the fraction");

struct ChannelTables {
  uint64_t key[4][256];  // for a channel whose stride is kStride[slot]
};

constexpr ChannelTables makeTables() {
  ChannelTables t{};
  for (int v = 0; v < 256; ++v) {
    int cell = v * kCells / 255;
    int fraction = v * kCells % 255;
    if (cell == kCells) {  // the last node is the far corner of the last cell
      cell = kCells - 1;
      fraction = 255;
    }
    for (int s = 0; s < 4; ++s)
      t.key[s][v] = uint64_t{static_cast<uint32_t>(fraction)} << kFractionShift | uint64_t{kStride[s]} << kStrideShift |
                    static_cast<uint32_t>(cell) * kStride[s];
  }
  return t;
}
constexpr ChannelTables kTables = makeTables();

// Inputs out of 0..255 are clamped. Callers hand over bytes, so this is
// the rare path; the test for it does not depend on the picture.
template <int N>
void clampInputs(const int32_t* values, uint32_t v[N]) {
  for (int c = 0; c < N; ++c) v[c] = static_cast<uint32_t>(std::clamp(values[c], 0, 255));
}

// Larger key first, by arithmetic rather than a comparison (compilers turn
// min/max of a photograph's fractions into branches). Keys are below 2^56,
// so the difference fits and its sign bit says whether they swap.
inline void sortPair(uint64_t& a, uint64_t& b) {
  const int64_t difference = static_cast<int64_t>(a - b);
  const uint64_t shift = static_cast<uint64_t>(difference & (difference >> 63));  // a - b when a < b, else 0
  a -= shift;
  b += shift;
}

template <int N>
PFLINK_SSE2 void interpolate(const int32_t* grid, int32_t* values) {
  static_assert(N == 3 || N == 4, "RGB or CMYK");
  constexpr int kFirst = 4 - N;  // the stride of channel 0
  uint32_t v[N];
  uint32_t outside = 0;
#pragma GCC unroll 4
  for (int c = 0; c < N; ++c) {
    v[c] = static_cast<uint32_t>(values[c]);
    outside |= v[c];
  }
  if (outside > 255) clampInputs<N>(values, v);
  uint64_t key[N];
  uint64_t keySum = 0;
#pragma GCC unroll 4
  for (int c = 0; c < N; ++c) {
    key[c] = kTables.key[kFirst + c][v[c]];
    keySum += key[c];
  }
  uint32_t corner = static_cast<uint32_t>(keySum);
  if constexpr (N == 3) {
    sortPair(key[0], key[1]);
    sortPair(key[1], key[2]);
    sortPair(key[0], key[1]);
  } else {
    sortPair(key[0], key[1]);
    sortPair(key[2], key[3]);
    sortPair(key[0], key[2]);
    sortPair(key[1], key[3]);
    sortPair(key[1], key[2]);
  }
  // Corner i takes the weight (fraction of step i - 1) - (fraction of step
  // i), with 255 before the first step and 0 after the last; the last
  // corner is the far one, as every channel's stride is in one key. A node's
  // values are 0..4080, so the low 16 bits of each 32-bit lane hold it and
  // a multiply-add against (weight, 0) pairs gives the exact products.
  // The sum starts at 128: 127 rounds the division, 1 is the division's own.
  __m128i sum = _mm_set1_epi32(128);
  uint32_t previous = 255;
#pragma GCC unroll 5
  for (int step = 0; step <= N; ++step) {
    const uint32_t next = step < N ? static_cast<uint32_t>(key[step] >> kFractionShift) : 0;
    const __m128i node = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grid + corner));
    sum = _mm_add_epi32(sum, _mm_madd_epi16(node, _mm_set1_epi32(static_cast<int32_t>(previous - next))));
    if (step < N) corner += static_cast<uint16_t>(key[step] >> kStrideShift);
    previous = next;
  }
  // floor((t - 1) / 255) = (257 t + (257 t >> 16)) >> 16 for 0 < t <= 255 x 65536.
  const __m128i scaled = _mm_add_epi32(_mm_slli_epi32(sum, 8), sum);
  const __m128i quotient = _mm_srli_epi32(_mm_add_epi32(scaled, _mm_srli_epi32(scaled, 16)), 16);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(values), quotient);
}

}  // namespace

JPFLINK_API PFLINK_SSE2 int jPFLinkCOLtoCMYK16(jCMS transform, int32_t* values) {
  if (!transform || !values || transform->magic != device::kTransformMagic || !transform->grid) return 0;
  if (transform->inputs == 3)
    interpolate<3>(transform->grid, values);
  else if (transform->inputs == 4)
    interpolate<4>(transform->grid, values);
  else
    return 0;
  return 1;
}
