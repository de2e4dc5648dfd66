// The diffusion pass with one AVX2 lane per ink, chosen at run time on
// processors that have it. Every lane does exactly the integer steps of the
// plain pass; what the lanes cannot do alike is done by masks:
//  - the noise runs on only for inks with a value, so the next few noise
//    entries are loaded at once and spread to those lanes by a permutation
//    indexed by the lane mask;
//  - the noise scale and the two diffusion shares follow from the value by
//    a few shifts, limits and one byte table lookup, and are multiplied
//    in;
//  - division by 16 truncates toward zero, as in C, by adding 15 to
//    negative products before the shift;
//  - errors are stored by their low 16 bits, as the plain pass stores them.
// The sweep runs a group of four pixels at a time, so that each pixel's
// dot codes take their place in the group's plane bytes by a fixed shift.
#include <immintrin.h>

#include <array>
#include <cstddef>
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

// The low 16 bits of each 32-bit lane, by the picks of lowHalves.
RX3_AVX2 inline void storeLow16(int16_t* to, __m256i v, __m256i pick) {
  const __m256i packed = _mm256_permute4x64_epi64(_mm256_shuffle_epi8(v, pick), 0x08);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm256_castsi256_si128(packed));
}
RX3_AVX2 inline void storeLow16Four(int16_t* to, __m256i v, __m256i pick) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(to),
                   _mm_shuffle_epi8(_mm256_castsi256_si128(v), _mm256_castsi256_si128(pick)));
}

// Bytes 0, 1 of each 32-bit lane to the low half of each 128-bit half.
RX3_AVX2 inline __m256i lowHalves() {
  return _mm256_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1, 0, 1, 4, 5, 8, 9, 12, 13, -1, -1,
                          -1, -1, -1, -1, -1, -1);
}

// Hides a constant's value from the compiler, which would otherwise build
// it anew (a move and a broadcast) at every use once the vector registers
// run short; hidden, it stays in a register or is read from the stack.
RX3_AVX2 inline __m256i opaque(__m256i v) {
  __asm__("" : "+x"(v));
  return v;
}

// A group's eight plane bytes from its dot codes (one 32-bit lane per
// plane, 0..255).
RX3_AVX2 inline __m128i groupBytes(__m256i dots) {
  const __m128i words = _mm_packs_epi32(_mm256_castsi256_si128(dots), _mm256_extracti128_si256(dots, 1));
  return _mm_packus_epi16(words, words);
}

RX3_AVX2 inline void orGroup(uint8_t* planes, int group, __m256i dots) {
  __m128i* at = reinterpret_cast<__m128i*>(planes + static_cast<size_t>(group) * 8);
  _mm_storel_epi64(at, _mm_or_si128(_mm_loadl_epi64(at), groupBytes(dots)));
}

// Per-line state of the sweep; it stays in registers once the pixel step is
// inlined into the group loop.
struct Sweep {
  __m256i carry;
  __m256i pending;
  __m256i inkSum;
  int32_t pos;
};

// What the pixel step reads.
struct SweepInput {
  const int16_t* inks;  // pixel x at inks + x * inkStride
  size_t inkStride;
  const uint8_t* kinds;  // or null: the kinds follow from pixels
  const ConvertedPixel* pixels;
  int16_t* errorLine;
  const int32_t* noise;  // the table, then its first entries again
  __m256i volumes;       // droplet volume by dot code
  __m256i resetCarry;
  __m256i shareTable, lowHalves, one, three, fifteen, twenty, smallAt, mediumAt, largeAt;
  int16_t resetBase;
};

#define RX3_STEP __attribute__((target("avx2,popcnt"), always_inline)) inline

// The diffusion shares by c = min(ceil(v / 16), 15), c = 0 for v <= 0: the
// share below in the high nibble, the share below and ahead in the low one.
// From 193 on the low nibble holds 1; above 320 the step adds 1.
RX3_AVX2 inline __m256i shareTable() {
  return _mm256_setr_epi8(0, 0x51, 0x52, 0x53, 0x53, 0x63, 0x63, 0x63, 0x63, 0x73, 0x73, 0x73, 0x73, 0x71, 0x71, 0x71,
                          0, 0x51, 0x52, 0x53, 0x53, 0x63, 0x63, 0x63, 0x63, 0x73, 0x73, 0x73, 0x73, 0x71, 0x71, 0x71);
}

// One pixel of the sweep: returns its eight dot codes (0 for pixels that
// draw nothing).
template <bool Four, bool Given>
RX3_STEP __m256i diffusePixel(Sweep& s, const SweepInput& in, int x) {
  const __m256i zero = _mm256_setzero_si256();
  const uint8_t kind = Given ? in.kinds[x] : diffusionKindOf(in.pixels[x]);
  int16_t* error = in.errorLine + (static_cast<size_t>(x) + 1) * 8;
  if (kind <= kDiffuseWhite) [[unlikely]] {
    if (kind == kDiffuseReset) {
      const __m128i reset = _mm_set1_epi16(static_cast<int16_t>((x % 8) * 16 + in.resetBase));
      if (Four)
        _mm_storel_epi64(reinterpret_cast<__m128i*>(error), reset);
      else
        _mm_storeu_si128(reinterpret_cast<__m128i*>(error), reset);
      s.carry = in.resetCarry;
    } else {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(error), _mm_setzero_si128());
      s.carry = zero;
    }
    return zero;
  }
  // The four-ink set reads and writes only the lanes of its inks; the
  // others stay 0 in every vector (no value, so no ink and no carry) and
  // keep their stored errors.
  const int16_t* slot = in.inks + static_cast<size_t>(x) * in.inkStride;
  const __m256i v = _mm256_cvtepi16_epi32(Four ? _mm_loadl_epi64(reinterpret_cast<const __m128i*>(slot))
                                               : _mm_loadu_si128(reinterpret_cast<const __m128i*>(slot)));
  const __m256i err = _mm256_cvtepi16_epi32(Four ? _mm_loadl_epi64(reinterpret_cast<const __m128i*>(error))
                                                 : _mm_loadu_si128(reinterpret_cast<const __m128i*>(error)));
  const __m256i on = _mm256_cmpgt_epi32(v, zero);
  const unsigned mask = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(on)));
  const __m256i raw =
      _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in.noise + s.pos)),
                                  _mm256_load_si256(reinterpret_cast<const __m256i*>(kSpread.index[mask])));
  s.pos += _mm_popcnt_u32(mask);

  // Noise scale min(max(v / 64, 1), 3); the four-ink set halves the noise
  // below 64, as twice the scale and one halving toward zero.
  const __m256i byRange = _mm256_min_epi32(_mm256_srai_epi32(v, 6), in.three);
  __m256i r;
  if (Four) {
    const __m256i twice = _mm256_mullo_epi32(raw, _mm256_max_epi32(_mm256_add_epi32(byRange, byRange), in.one));
    r = _mm256_srai_epi32(_mm256_add_epi32(twice, _mm256_srli_epi32(twice, 31)), 1);
  } else {
    r = _mm256_mullo_epi32(raw, _mm256_max_epi32(byRange, in.one));
  }
  // The shares b (below) and a (below and ahead), sixteenths.
  const __m256i c = _mm256_srai_epi32(_mm256_add_epi32(v, in.fifteen), 4);
  const __m256i shares = _mm256_shuffle_epi8(in.shareTable, _mm256_min_epi32(c, in.fifteen));
  const __m256i b = _mm256_srli_epi32(shares, 4);
  const __m256i a = _mm256_sub_epi32(_mm256_and_si256(shares, in.fifteen), _mm256_cmpgt_epi32(c, in.twenty));

  // The chain from one pixel's carry to the next is kept short: all that
  // does not depend on the carry is computed beside it. The thresholds are
  // compared against t - r, and the rounding bias of the two divisions
  // comes from the sign of t (b and a are positive, so t x b and t x a have
  // the sign of t).
  const __m256i errorAndValue = _mm256_add_epi32(err, v);
  const __m256i lessNoise = _mm256_sub_epi32(errorAndValue, r);
  __m256i t = _mm256_add_epi32(errorAndValue, s.carry);
  const __m256i d = _mm256_add_epi32(lessNoise, s.carry);
  const __m256i small = _mm256_cmpgt_epi32(d, in.smallAt);
  const __m256i medium = _mm256_cmpgt_epi32(d, in.mediumAt);
  const __m256i large = _mm256_cmpgt_epi32(d, in.largeAt);
  // Large takes 4080 = 1024 + 1024 + 2032, medium 2048, small 1024.
  const __m256i smallOrMedium = _mm256_add_epi32(small, medium);
  t = _mm256_sub_epi32(_mm256_add_epi32(t, _mm256_slli_epi32(smallOrMedium, 10)), _mm256_and_si256(large, in.largeAt));
  const __m256i level = _mm256_and_si256(_mm256_abs_epi32(_mm256_add_epi32(smallOrMedium, large)), on);

  const __m256i bias = _mm256_srli_epi32(_mm256_srai_epi32(t, 31), 28);  // 15 when t < 0
  const __m256i below = _mm256_srai_epi32(_mm256_add_epi32(_mm256_mullo_epi32(t, b), bias), 4);
  const __m256i ahead = _mm256_srai_epi32(_mm256_add_epi32(_mm256_mullo_epi32(t, a), bias), 4);
  const __m256i newError = _mm256_and_si256(_mm256_add_epi32(s.pending, below), on);
  s.carry = _mm256_and_si256(_mm256_sub_epi32(t, _mm256_add_epi32(below, ahead)), on);
  s.pending = _mm256_blendv_epi8(s.pending, ahead, on);
  if (Four)
    storeLow16Four(error, newError, in.lowHalves);
  else
    storeLow16(error, newError, in.lowHalves);
  s.inkSum = _mm256_add_epi32(s.inkSum, _mm256_permutevar8x32_epi32(in.volumes, level));
  return level;
}

// The pixels of one group from first through last, as the sweep meets
// them: the ends of the line, where a group may be cut short. A group whose
// pixels set no dot is left untouched.
template <bool Four, bool Given>
RX3_STEP void partialGroup(Sweep& s, const SweepInput& in, uint8_t* planes, int first, int last, int step) {
  __m256i dots = _mm256_setzero_si256();
  for (int x = first;; x += step) {
    const __m256i level = diffusePixel<Four, Given>(s, in, x);
    if (s.pos >= kNoiseTableSize) s.pos -= kNoiseTableSize;
    dots = _mm256_or_si256(dots, _mm256_sll_epi32(level, _mm_cvtsi32_si128(6 - 2 * (x % 4))));
    if (x == last) break;
  }
  uint64_t bytes;
  _mm_storel_epi64(reinterpret_cast<__m128i*>(&bytes), groupBytes(dots));
  if (bytes) orGroup(planes, first / 4, dots);
}

// The sweep over whole groups of four pixels, the dot codes of each going
// to the group's plane bytes as it ends; the noise position wraps once a
// group (the table is followed by enough of its first entries).
template <bool Four, bool Given, bool Forward>
RX3_AVX2 void sweepLine(Sweep& s, const SweepInput& in, uint8_t* planes, int count) {
  const int groups = count / 4;
  const int rest = count % 4;
  if (!Forward && rest) partialGroup<Four, Given>(s, in, planes, count - 1, groups * 4, -1);
  for (int i = 0; i < groups; ++i) {
    const int g = Forward ? i : groups - 1 - i;
    const int x = g * 4;
    __m256i dots;
    if (Forward) {
      dots = _mm256_slli_epi32(diffusePixel<Four, Given>(s, in, x), 6);
      dots = _mm256_or_si256(dots, _mm256_slli_epi32(diffusePixel<Four, Given>(s, in, x + 1), 4));
      dots = _mm256_or_si256(dots, _mm256_slli_epi32(diffusePixel<Four, Given>(s, in, x + 2), 2));
      dots = _mm256_or_si256(dots, diffusePixel<Four, Given>(s, in, x + 3));
    } else {
      dots = diffusePixel<Four, Given>(s, in, x + 3);
      dots = _mm256_or_si256(dots, _mm256_slli_epi32(diffusePixel<Four, Given>(s, in, x + 2), 2));
      dots = _mm256_or_si256(dots, _mm256_slli_epi32(diffusePixel<Four, Given>(s, in, x + 1), 4));
      dots = _mm256_or_si256(dots, _mm256_slli_epi32(diffusePixel<Four, Given>(s, in, x), 6));
    }
    if (s.pos >= kNoiseTableSize) s.pos -= kNoiseTableSize;
    orGroup(planes, g, dots);
  }
  if (Forward && rest) partialGroup<Four, Given>(s, in, planes, groups * 4, count - 1, 1);
}

template <bool Four>
RX3_AVX2 void diffuse(DiffusionLine* line) {
  SweepInput in;
  in.inks = line->inks;
  in.inkStride = 8;
  if (!in.inks) {
    // The separation pass, over the whole line before the diffusion: a
    // pixel's inks follow from its own values only.
    separateRow(line->separation, line->pixels, line->count, line->parity, line->slots, Four);
    in.inks = line->slots + static_cast<size_t>(line->parity) * 8;
    in.inkStride = 16;
  }
  in.kinds = line->kinds;
  in.pixels = line->pixels;
  in.errorLine = line->errorLine;
  // The noise as 32-bit entries, the table followed by its first entries
  // again: the eight entries loaded at a position within a group of four
  // pixels never run past the end.
  constexpr int kN = kNoiseTableSize;
  constexpr int kTail = 40;
  static_assert(kN >= kTail);
  alignas(32) int32_t noise[kN + kTail];
  for (int i = 0; i < kN; ++i) noise[i] = line->noise[i];
  for (int i = 0; i < kTail; ++i) noise[kN + i] = line->noise[i];
  in.noise = noise;
  // Droplet volume by dot code, summed per ink (a line stays far below 2^31).
  in.volumes = _mm256_setr_epi32(0, line->droplets[0], line->droplets[1], line->droplets[2], 0, 0, 0, 0);
  in.resetCarry = Four ? _mm256_setr_epi32(240, 240, 240, 240, 0, 0, 0, 0) : _mm256_set1_epi32(300);
  in.resetBase = Four ? 64 : 128;
  in.shareTable = opaque(shareTable());
  in.lowHalves = opaque(lowHalves());
  in.one = opaque(_mm256_set1_epi32(1));
  in.three = opaque(_mm256_set1_epi32(3));
  in.fifteen = opaque(_mm256_set1_epi32(15));
  in.twenty = opaque(_mm256_set1_epi32(20));
  in.smallAt = opaque(_mm256_set1_epi32(512));
  in.mediumAt = opaque(_mm256_set1_epi32(1024));
  in.largeAt = opaque(_mm256_set1_epi32(2032));

  Sweep s;
  s.carry = _mm256_setzero_si256();
  s.pending = _mm256_setzero_si256();
  s.inkSum = _mm256_setzero_si256();
  s.pos = line->noisePos;
  const bool forward = line->parity == 0;
  if (in.kinds) {
    if (forward)
      sweepLine<Four, true, true>(s, in, line->dotPlanes, line->count);
    else
      sweepLine<Four, true, false>(s, in, line->dotPlanes, line->count);
  } else {
    if (forward)
      sweepLine<Four, false, true>(s, in, line->dotPlanes, line->count);
    else
      sweepLine<Four, false, false>(s, in, line->dotPlanes, line->count);
  }
  line->noisePos = s.pos;
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(line->carries), s.carry);
  alignas(32) uint32_t sums[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(sums), s.inkSum);
  for (int j = 0; j < 8; ++j) line->inkTotals[j] = sums[j];
}

// The diffusion kinds of count pixels, eight at a time: the kind and drawn
// fields of eight 12-byte pixels are the 32-bit words 2, 5, ..., 23 of
// their 96 bytes. Returns how many pixels it did.
RX3_AVX2 int diffusionKindsVector(const ConvertedPixel* pixels, int count, uint8_t* kinds) {
  static_assert(sizeof(ConvertedPixel) == 12 && offsetof(ConvertedPixel, kind) == 8 &&
                offsetof(ConvertedPixel, drawn) == 10);
  const __m256i pick = _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i low16 = _mm256_set1_epi32(0xFFFF);
  int x = 0;
  for (; x + 8 <= count; x += 8) {
    const __m256i* at = reinterpret_cast<const __m256i*>(pixels + x);
    const __m256i a = _mm256_permutevar8x32_epi32(_mm256_loadu_si256(at), pick);
    const __m256i b = _mm256_permutevar8x32_epi32(_mm256_loadu_si256(at + 1), pick);
    const __m256i c = _mm256_permutevar8x32_epi32(_mm256_loadu_si256(at + 2), pick);
    const __m256i words = _mm256_blend_epi32(_mm256_blend_epi32(a, b, 0x1C), c, 0xE0);
    const __m256i kind = _mm256_and_si256(words, low16);
    const __m256i reset =
        _mm256_or_si256(_mm256_cmpeq_epi32(kind, zero), _mm256_cmpeq_epi32(_mm256_srli_epi32(words, 16), zero));
    const __m256i white = _mm256_cmpeq_epi32(kind, _mm256_set1_epi32(kPixelWhite));
    // Inks 2, paper white 1, nothing drawn 0.
    const __m256i codes = _mm256_andnot_si256(reset, _mm256_add_epi32(_mm256_set1_epi32(kDiffuseInks), white));
    const __m128i words16 = _mm_packs_epi32(_mm256_castsi256_si128(codes), _mm256_extracti128_si256(codes, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(kinds + x), _mm_packus_epi16(words16, words16));
  }
  return x;
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
  int x = 0;
#if RX3_VECTOR_HALFTONE
  if (vectorHalftoneAvailable()) x = diffusionKindsVector(pixels, count, kinds);
#endif
  for (; x < count; ++x) kinds[x] = diffusionKindOf(pixels[x]);
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
