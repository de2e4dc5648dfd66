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
// - inputs are clamped to 0..255 by masks;
// - cell offset and fraction of every input value come from tables;
// - the order is a sorting network of min/max on keys that hold the
//   fraction above the channel's stride, so equal fractions still sort one
//   way (the corner between equal fractions has weight 0, so which way does
//   not change the result);
// - the four outputs of a corner are weighted at once (SSE2).
// Grid values are 0..4080 (the Device library clamps every node) and the
// weights sum to 255, so every sum is at most 1,040,400 plus the rounding.
#include <emmintrin.h>

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
constexpr int kKeyShift = 16;
static_assert(kStride[0] < (1u << kKeyShift), "a stride fits below the fraction in a sort key");

struct ChannelTables {
  uint32_t offset[4][256];  // cell of the value times the stride of kStride[i]
  uint32_t fraction[256];   // place of the value inside its cell, 0..255
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
    t.fraction[v] = static_cast<uint32_t>(fraction);
    for (int s = 0; s < 4; ++s) t.offset[s][v] = static_cast<uint32_t>(cell) * kStride[s];
  }
  return t;
}
constexpr ChannelTables kTables = makeTables();

// 0..255 without a branch: negatives lose every bit, values above 255 get
// every bit before the mask. (The caller has just stored the values one by
// one; a vector load of them would wait for the stores to retire.)
inline uint32_t clampByte(int32_t v) {
  v &= ~(v >> 31);
  return static_cast<uint32_t>(v | ((255 - v) >> 31)) & 0xFF;
}

// Larger key first, by arithmetic rather than a comparison (compilers turn
// min/max of a photograph's fractions into branches). Keys are below 2^24,
// so the difference fits and its sign bit says whether they swap.
inline void sortPair(uint32_t& a, uint32_t& b) {
  const int32_t difference = static_cast<int32_t>(a - b);
  const uint32_t shift = static_cast<uint32_t>(difference & (difference >> 31));  // a - b when a < b, else 0
  a -= shift;
  b += shift;
}

template <int N>
PFLINK_SSE2 void interpolate(const int32_t* grid, int32_t* values) {
  static_assert(N == 3 || N == 4, "RGB or CMYK");
  constexpr int kFirst = 4 - N;  // the stride of channel 0
  uint32_t key[N];
  uint32_t corner = 0;
#pragma GCC unroll 4
  for (int c = 0; c < N; ++c) {
    const uint32_t v = clampByte(values[c]);
    corner += kTables.offset[kFirst + c][v];
    key[c] = kTables.fraction[v] << kKeyShift | kStride[kFirst + c];
  }
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
  constexpr uint32_t kStrideMask = (1u << kKeyShift) - 1;
  __m128i sum = _mm_set1_epi32(128);
  uint32_t previous = 255;
#pragma GCC unroll 5
  for (int step = 0; step <= N; ++step) {
    const uint32_t next = step < N ? key[step] >> kKeyShift : 0;
    const __m128i node = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grid + corner));
    sum = _mm_add_epi32(sum, _mm_madd_epi16(node, _mm_set1_epi32(static_cast<int32_t>(previous - next))));
    if (step < N) corner += key[step] & kStrideMask;
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
