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
// - the order comes from maxima and minima of 32-bit keys that hold the
//   fraction above the channel's stride, so equal fractions still order one
//   way (the corner between equal fractions has weight 0, so which way does
//   not change the result). Each maximum or minimum is one comparison and
//   one conditional move, on i386 too; where a comparison would give both,
//   the other comes from the sum of the pair, as compilers turn a
//   comparison with two results into a branch;
// - the walk's corners come from the 16-bit copy of the grid, two at a time:
//   their values interleaved, one multiply-add weights both.
// Grid values are 0..4080 (the Device library clamps every node) and the
// weights sum to 255, so every sum is at most 1,040,400 plus the rounding.
#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

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
static_assert(device::kGridOutputs == 4, "a node's outputs are four 16-bit values");

// Distance in nodes to the next node of a channel in slot s: slot 0 varies
// slowest; RGB channels take slots 1..3.
constexpr uint32_t strideOf(int slot) {
  uint32_t stride = 1;
  for (int s = slot; s < 3; ++s) stride *= kPoints;
  return stride;
}
constexpr uint32_t kStride[4] = {strideOf(0), strideOf(1), strideOf(2), strideOf(3)};

// A channel value's table entry: its sort key, the fraction (its place
// inside the cell, 0..255) in the top 16 bits and the channel's stride in
// the low 16, and apart from it the offset of its cell in nodes. Keys order
// the channels by fraction and never tie, as strides differ; between equal
// fractions the order may go either way, as the corner between them weighs
// 0. The sum of a pixel's keys holds the sum of the fractions above the sum
// of the strides, and its cell is the sum of the offsets. All of it is 32
// bits wide: on i386 a 64-bit key is a pair of registers, and every maximum
// or minimum of it a comparison with borrow and two conditional moves.
constexpr int kFractionShift = 16;
constexpr uint32_t kStrideMask = (1u << kFractionShift) - 1;
static_assert(kStride[0] + kStride[1] + kStride[2] + kStride[3] <= kStrideMask, "strides fit below the fraction");
static_assert(uint64_t{4 * 255} << kFractionShift < (uint64_t{1} << 32), "four fractions fit above the strides");
// The far corners of an RGB and of a CMYK cell.
constexpr uint32_t kRgbFar = kStride[1] + kStride[2] + kStride[3];
constexpr uint32_t kCmykFar = kStride[0] + kRgbFar;

// For a channel whose stride is kStride[slot]: [slot][value].
struct ChannelTables {
  uint32_t key[4][256];
  uint32_t cell[4][256];
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
    for (int s = 0; s < 4; ++s) {
      t.key[s][v] = static_cast<uint32_t>(fraction) << kFractionShift | kStride[s];
      t.cell[s][v] = static_cast<uint32_t>(cell) * kStride[s];
    }
  }
  return t;
}
constexpr ChannelTables kTables = makeTables();

// Inputs out of 0..255 are clamped, on a copy that is then interpolated.
// Callers hand over bytes, so this is the rare path; the test for it does
// not depend on the picture, and keeping it out of line leaves the usual
// path its registers.
template <int (*interpolate)(const int16_t*, int32_t*)>
PFLINK_SSE2 [[gnu::noinline]] int interpolateClamped(const int16_t* grid, int32_t* values) {
  int32_t clamped[4];
  for (int c = 0; c < 4; ++c) clamped[c] = std::clamp(values[c], 0, 255);
  interpolate(grid, clamped);
  std::memcpy(values, clamped, sizeof clamped);
  return 1;
}

// Whether any of the first N inputs is out of 0..255.
template <int N>
bool outside(const int32_t* values, uint32_t v[N]) {
  uint32_t any = 0;
#pragma GCC unroll 4
  for (int c = 0; c < N; ++c) {
    v[c] = static_cast<uint32_t>(values[c]);
    any |= v[c];
  }
  return any > 255;
}

inline uint32_t fractionOf(uint32_t key) {
  return key >> kFractionShift;
}
inline uint32_t strideIn(uint32_t key) {
  return key & kStrideMask;
}

// The weights of a pair of the walk's corners, the first in the low 16
// bits: corner i weighs f(i-1) - f(i), the fractions in order, f0 >= f1 >=
// ..., with 255 before the first and 0 after the last.
inline uint32_t cornerWeights(uint32_t before, uint32_t fraction, uint32_t after) {
  return (before - fraction) | (fraction - after) << 16;
}

// The four outputs of two corners, interleaved, weighted by a pair of
// weights (the first corner's in the low 16 bits).
PFLINK_SSE2 inline __m128i weighPair(const int16_t* a, const int16_t* b, __m128i weights) {
  const __m128i nodes = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)),
                                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)));
  return _mm_madd_epi16(nodes, weights);
}

// The rounded division of the weighted sums by 255, stored as the outputs.
// The sum is given without its rounding: 128 is added here, 127 for the
// rounding and 1 for the division:
// floor((t - 1) / 255) = (257 t + (257 t >> 16)) >> 16 for 0 < t <= 255 x 65536.
PFLINK_SSE2 inline void storeRounded(__m128i sum, int32_t* values) {
  sum = _mm_add_epi32(sum, _mm_set1_epi32(128));
  const __m128i scaled = _mm_add_epi32(_mm_slli_epi32(sum, 8), sum);
  const __m128i quotient = _mm_srli_epi32(_mm_add_epi32(scaled, _mm_srli_epi32(scaled, 16)), 16);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(values), quotient);
}

// RGB: four corners; the first is the cell's corner, the last the far one,
// so only the two between depend on the order: the first step goes along
// the channel of the largest fraction, the last along that of the smallest.
PFLINK_SSE2 [[gnu::always_inline]] inline int interpolateRgb(const int16_t* grid, int32_t* values) {
  uint32_t v[3];
  if (outside<3>(values, v)) return interpolateClamped<interpolateRgb>(grid, values);
  const uint32_t corner = kTables.cell[1][v[0]] + kTables.cell[2][v[1]] + kTables.cell[3][v[2]];
  const uint32_t a = kTables.key[1][v[0]], b = kTables.key[2][v[1]], c = kTables.key[3][v[2]];
  const uint32_t ab = a + b;
  const uint32_t higher = std::max(a, b);
  const uint32_t lower = ab - higher;
  const uint32_t largest = std::max(higher, c);
  const uint32_t smallest = std::min(lower, c);
  const uint32_t middle = ab + c - largest - smallest;
  const uint32_t f0 = fractionOf(largest), f1 = fractionOf(middle), f2 = fractionOf(smallest);

  const int16_t* node = grid + size_t{corner} * 4;
  const int16_t* far = node + size_t{kRgbFar} * 4;
  __m128i total = weighPair(node, node + size_t{strideIn(largest)} * 4,
                            _mm_set1_epi32(static_cast<int32_t>(cornerWeights(255, f0, f1))));
  total = _mm_add_epi32(total, weighPair(far - size_t{strideIn(smallest)} * 4, far,
                                         _mm_set1_epi32(static_cast<int32_t>(cornerWeights(f1, f2, 0)))));
  storeRounded(total, values);
  return 1;
}

// CMYK: five corners. The largest and the smallest key come from maxima
// and minima of pairs; the two between are what is left of each pair's
// other member. Kept out of line, like the clamping, so that the RGB walk
// inlined in the entry point needs no stack frame.
PFLINK_SSE2 [[gnu::noinline]] int interpolateCmyk(const int16_t* grid, int32_t* values) {
  uint32_t v[4];
  if (outside<4>(values, v)) return interpolateClamped<interpolateCmyk>(grid, values);
  const uint32_t corner = kTables.cell[0][v[0]] + kTables.cell[1][v[1]] + kTables.cell[2][v[2]] + kTables.cell[3][v[3]];
  const uint32_t a = kTables.key[0][v[0]], b = kTables.key[1][v[1]], c = kTables.key[2][v[2]], d = kTables.key[3][v[3]];
  const uint32_t ab = a + b, cd = c + d;
  const uint32_t higherAb = std::max(a, b), lowerAb = ab - higherAb;
  const uint32_t higherCd = std::max(c, d), lowerCd = cd - higherCd;
  const uint32_t first = std::max(higherAb, higherCd);
  const uint32_t last = std::min(lowerAb, lowerCd);
  const uint32_t middleHigh = higherAb + higherCd - first;  // the smaller of the higher ones
  const uint32_t middleLow = lowerAb + lowerCd - last;      // the larger of the lower ones
  const uint32_t second = std::max(middleHigh, middleLow);
  const uint32_t third = middleHigh + middleLow - second;
  const uint32_t f0 = fractionOf(first), f1 = fractionOf(second), f2 = fractionOf(third), f3 = fractionOf(last);

  const uint32_t corner1 = corner + strideIn(first);
  const int16_t* node = grid + size_t{corner} * 4;
  __m128i total =
      weighPair(node, grid + size_t{corner1} * 4, _mm_set1_epi32(static_cast<int32_t>(cornerWeights(255, f0, f1))));
  node = grid + size_t{corner + kCmykFar} * 4;
  total =
      _mm_add_epi32(total, weighPair(grid + size_t{corner1 + strideIn(second)} * 4, node - size_t{strideIn(last)} * 4,
                                     _mm_set1_epi32(static_cast<int32_t>(cornerWeights(f1, f2, f3)))));
  // The far corner alone: its values against (f3, 0) pairs.
  const __m128i farNode =
      _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(node)), _mm_setzero_si128());
  total = _mm_add_epi32(total, _mm_madd_epi16(farNode, _mm_set1_epi32(static_cast<int32_t>(f3))));
  storeRounded(total, values);
  return 1;
}

}  // namespace

// The walks return 1, their result, so the out-of-line ones are tail calls.
JPFLINK_API PFLINK_SSE2 int jPFLinkCOLtoCMYK16(jCMS transform, int32_t* values) {
  if (!transform || !values || transform->magic != device::kTransformMagic || !transform->grid16) return 0;
  if (transform->inputs == 3) return interpolateRgb(transform->grid16, values);
  if (transform->inputs == 4) return interpolateCmyk(transform->grid16, values);
  return 0;
}
