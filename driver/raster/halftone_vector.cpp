// The diffusion pass with one AVX2 lane per ink, chosen at run time on
// processors that have it. Every lane does exactly the integer steps of the
// plain pass; what the lanes cannot do alike is done by masks:
//  - the noise runs on only for inks with a value, so the next few noise
//    entries are loaded at once and spread to those lanes by a permutation
//    indexed by the lane mask;
//  - the noise scale and the two diffusion shares come from comparisons of
//    the value with the range limits;
//  - division by 16 truncates toward zero, as in C, by adding 15 to
//    negative products before the shift;
//  - errors are stored by their low 16 bits, as the plain pass stores them.
#include <immintrin.h>

#include <array>
#include <cstring>

#include "driver/raster/halftone_kernel.h"
#include "driver/raster/page_buffers.h"

namespace rx3 {
namespace {

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define RX3_VECTOR_HALFTONE 1
#else
#define RX3_VECTOR_HALFTONE 0
#endif

#if RX3_VECTOR_HALFTONE

// For each lane mask, lane j takes the noise entry of rank "number of
// active lanes below j".
struct SpreadTable {
  alignas(32) int32_t index[256][8];
};
constexpr SpreadTable makeSpreadTable() {
  SpreadTable t{};
  for (int mask = 0; mask < 256; ++mask) {
    int rank = 0;
    for (int j = 0; j < 8; ++j) {
      t.index[mask][j] = rank;
      if (mask & (1 << j)) ++rank;
    }
  }
  return t;
}
constexpr SpreadTable kSpread = makeSpreadTable();

#define RX3_AVX2 __attribute__((target("avx2,popcnt")))

RX3_AVX2 inline void storeLow16(int16_t* to, __m256i v) {
  // Bytes 0, 1 of each 32-bit lane to the low half of each 128-bit half,
  // then the two halves side by side.
  const __m256i pick = _mm256_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1, 0, 1, 4, 5, 8, 9, 12,
                                        13, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m256i packed = _mm256_permute4x64_epi64(_mm256_shuffle_epi8(v, pick), 0x08);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm256_castsi256_si128(packed));
}

// ORs eight dot-code bytes (one 32-bit lane per plane) into a group's
// plane bytes.
RX3_AVX2 inline void flushGroup(uint8_t* planes, int group, __m256i dots) {
  if (group < 0) return;
  const __m128i words = _mm_packs_epi32(_mm256_castsi256_si128(dots), _mm256_extracti128_si256(dots, 1));
  uint64_t bytes;
  _mm_storel_epi64(reinterpret_cast<__m128i*>(&bytes), _mm_packus_epi16(words, words));
  if (!bytes) return;
  uint8_t* at = planes + static_cast<size_t>(group) * 8;
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  word |= bytes;
  std::memcpy(at, &word, sizeof word);
}

template <bool Four>
RX3_AVX2 void diffuse(DiffusionLine* line) {
  // The inks of pixel x, at inks + x * inkStride.
  const int16_t* inks = line->inks;
  size_t inkStride = 8;
  if (!inks) {
    // The separation pass, over the whole line before the diffusion: a
    // pixel's inks follow from its own values only.
    separateRow(line->separation, line->pixels, line->count, line->parity, line->slots, Four);
    inks = line->slots + static_cast<size_t>(line->parity) * 8;
    inkStride = 16;
  }
  constexpr int kN = kNoiseTableSize;
  alignas(32) int32_t noise[kN + 8];
  for (int i = 0; i < kN + 8; ++i) noise[i] = line->noise[i % kN];

  constexpr bool four = Four;
  const __m256i zero = _mm256_setzero_si256();
  const __m256i active = four ? _mm256_setr_epi32(-1, -1, -1, -1, 0, 0, 0, 0) : _mm256_set1_epi32(-1);
  const __m256i resetCarry = _mm256_set1_epi32(four ? 240 : 300);
  const int16_t resetBase = four ? 64 : 128;
  const int inkCount = four ? 4 : 8;

  __m256i carry = zero;
  __m256i pending = zero;
  // Droplet volume by dot code, summed per ink (a line stays far below 2^31).
  const __m256i volumes = _mm256_setr_epi32(0, line->droplets[0], line->droplets[1], line->droplets[2], 0, 0, 0, 0);
  __m256i inkSum = zero;
  int group = -1;  // the group of four pixels whose dots are gathering
  __m256i groupDots = zero;
  bool haveLast = false;
  __m128i lastValues = _mm_setzero_si128();
  __m256i v = zero, on = zero, spread = zero, noiseScale = zero, halve = zero, b6 = zero, b7 = zero, a2 = zero,
          a3 = zero;
  int mask = 0;
  int drawCount = 0;
  int32_t pos = line->noisePos;
  const int parity = line->parity;
  const int step = parity == 0 ? 1 : -1;
  int x = parity == 0 ? 0 : line->count - 1;
  for (int i = 0; i < line->count; ++i, x += step) {
    const uint8_t kind = line->kinds ? line->kinds[x] : diffusionKindOf(line->pixels[x]);
    const int16_t* slot = inks + static_cast<size_t>(x) * inkStride;
    int16_t* error = line->errorLine + (static_cast<size_t>(x) + 1) * 8;
    if (kind == kDiffuseReset) {
      const int16_t reset = static_cast<int16_t>((x % 8) * 16 + resetBase);
      for (int j = 0; j < inkCount; ++j) error[j] = reset;
      carry = _mm256_blendv_epi8(carry, resetCarry, active);
      continue;
    }
    if (kind == kDiffuseWhite) {
      std::memset(error, 0, 16);
      carry = zero;
      continue;
    }
    // The slot holds the separated inks (or, for a kind that keeps its
    // slot, what it held).
    const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(slot));
    // Everything that follows from the ink values alone is kept while the
    // values repeat, as they do across flat areas.
    if (!haveLast || _mm_movemask_epi8(_mm_cmpeq_epi8(values, lastValues)) != 0xFFFF) {
      lastValues = values;
      haveLast = true;
      v = _mm256_cvtepi16_epi32(values);
      on = _mm256_and_si256(_mm256_cmpgt_epi32(v, zero), active);
      mask = _mm256_movemask_ps(_mm256_castsi256_ps(on));
      drawCount = _mm_popcnt_u32(static_cast<unsigned>(mask));
      spread = _mm256_load_si256(reinterpret_cast<const __m256i*>(kSpread.index[mask]));
      // Noise scale 1, 2 or 3 (a multiply off the carry chain).
      noiseScale =
          _mm256_sub_epi32(_mm256_set1_epi32(1), _mm256_add_epi32(_mm256_cmpgt_epi32(v, _mm256_set1_epi32(127)),
                                                                  _mm256_cmpgt_epi32(v, _mm256_set1_epi32(191))));
      halve = four ? _mm256_cmpgt_epi32(_mm256_set1_epi32(64), v) : zero;
      // b = 5, 6 or 7 and a = 1, 2 or 3 by the value's range, kept as the
      // masks "b >= 6", "b = 7", "a >= 2", "a = 3", so that t x b and t x a
      // are sums of masked copies of t: a multiply would lengthen the chain
      // from one pixel's carry to the next.
      // a is 3 over 32..192, 2 over 16..32 and above 320, else 1.
      const __m256i over16 = _mm256_cmpgt_epi32(v, _mm256_set1_epi32(16));
      const __m256i over32 = _mm256_cmpgt_epi32(v, _mm256_set1_epi32(32));
      const __m256i over192 = _mm256_cmpgt_epi32(v, _mm256_set1_epi32(192));
      const __m256i over320 = _mm256_cmpgt_epi32(v, _mm256_set1_epi32(320));
      a3 = _mm256_andnot_si256(over192, over32);
      a2 = _mm256_or_si256(_mm256_andnot_si256(over192, over16), over320);
      b6 = _mm256_cmpgt_epi32(v, _mm256_set1_epi32(64));
      b7 = _mm256_cmpgt_epi32(v, _mm256_set1_epi32(128));
    }
    const __m256i err = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(error)));
    if (mask == 0) {
      storeLow16(error, _mm256_andnot_si256(active, err));
      carry = _mm256_andnot_si256(active, carry);
      continue;
    }
    const __m256i raw =
        _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(noise + pos)), spread);
    pos += drawCount;
    if (pos >= kN) pos -= kN;
    __m256i r = _mm256_mullo_epi32(raw, noiseScale);
    if (four) {
      const __m256i half = _mm256_srai_epi32(_mm256_add_epi32(raw, _mm256_srli_epi32(raw, 31)), 1);
      r = _mm256_blendv_epi8(r, half, halve);
    }

    // The chain from one pixel's carry to the next is kept short: all that
    // does not depend on the carry is computed beside it, and the rounding
    // bias of the two divisions comes from the sign of t (b and a are
    // positive, so t x b and t x a have the sign of t).
    const __m256i errorAndValue = _mm256_add_epi32(err, v);
    const __m256i smallAt = _mm256_add_epi32(r, _mm256_set1_epi32(512));
    const __m256i mediumAt = _mm256_add_epi32(r, _mm256_set1_epi32(1024));
    const __m256i largeAt = _mm256_add_epi32(r, _mm256_set1_epi32(2032));
    __m256i t = _mm256_add_epi32(errorAndValue, carry);
    const __m256i small = _mm256_cmpgt_epi32(t, smallAt);
    const __m256i medium = _mm256_cmpgt_epi32(t, mediumAt);
    const __m256i large = _mm256_cmpgt_epi32(t, largeAt);
    // Large takes 4080 = 1024 + 1024 + 2032, medium 2048, small 1024.
    t = _mm256_add_epi32(
        _mm256_add_epi32(t, _mm256_slli_epi32(small, 10)),
        _mm256_sub_epi32(_mm256_slli_epi32(medium, 10), _mm256_and_si256(large, _mm256_set1_epi32(2032))));
    const __m256i level =
        _mm256_and_si256(_mm256_sub_epi32(zero, _mm256_add_epi32(_mm256_add_epi32(small, medium), large)), on);

    const __m256i bias = _mm256_srli_epi32(_mm256_srai_epi32(t, 31), 28);  // 15 when t < 0
    const __m256i tb = _mm256_add_epi32(_mm256_add_epi32(_mm256_slli_epi32(t, 2), _mm256_add_epi32(t, bias)),
                                        _mm256_add_epi32(_mm256_and_si256(t, b6), _mm256_and_si256(t, b7)));
    const __m256i ta =
        _mm256_add_epi32(_mm256_add_epi32(t, bias), _mm256_add_epi32(_mm256_and_si256(t, a2), _mm256_and_si256(t, a3)));
    const __m256i below = _mm256_srai_epi32(tb, 4);
    const __m256i ahead = _mm256_srai_epi32(ta, 4);
    const __m256i newError = _mm256_add_epi32(pending, below);
    const __m256i newCarry = _mm256_sub_epi32(t, _mm256_add_epi32(below, ahead));

    storeLow16(error, _mm256_blendv_epi8(_mm256_andnot_si256(active, err), newError, on));
    // Lanes of inks outside the set keep their carry; the others take the
    // new one when they had ink, else 0.
    carry = Four ? _mm256_or_si256(_mm256_and_si256(newCarry, on), _mm256_andnot_si256(active, carry))
                 : _mm256_and_si256(newCarry, on);
    pending = _mm256_blendv_epi8(pending, ahead, on);

    inkSum = _mm256_add_epi32(inkSum, _mm256_permutevar8x32_epi32(volumes, level));
    // The dot codes of the pixels of one group of four gather in a vector
    // and go to the group's eight plane bytes when the sweep leaves it.
    const int groupOf = x / 4;
    if (groupOf != group) {
      flushGroup(line->dotPlanes, group, groupDots);
      group = groupOf;
      groupDots = zero;
    }
    groupDots = _mm256_or_si256(groupDots, _mm256_sll_epi32(level, _mm_cvtsi32_si128(6 - 2 * (x % 4))));
  }
  flushGroup(line->dotPlanes, group, groupDots);
  line->noisePos = pos;
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(line->carries), carry);
  alignas(32) uint32_t sums[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(sums), inkSum);
  for (int j = 0; j < 8; ++j) line->inkTotals[j] = sums[j];
}

bool processorHasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
}

#endif

}  // namespace

bool vectorHalftoneAvailable() {
#if RX3_VECTOR_HALFTONE
  static const bool available = processorHasAvx2();
  return available;
#else
  return false;
#endif
}

void separateForDiffusion(const SeparationParams& params, const ConvertedPixel* pixels, int count, bool fourInks,
                          int16_t* inks, uint8_t* kinds) {
  separateRowDense(params, pixels, count, inks, fourInks);
  for (int x = 0; x < count; ++x) kinds[x] = diffusionKindOf(pixels[x]);
}

void diffuseLineVector(DiffusionLine* line) {
#if RX3_VECTOR_HALFTONE
  if (line->fourInks)
    diffuse<true>(line);
  else
    diffuse<false>(line);
#else
  (void)line;
#endif
}

}  // namespace rx3
