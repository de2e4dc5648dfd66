// The separation of a whole row, eight pixels at a time on processors with
// AVX2 (chosen at run time), one pixel per 32-bit lane. Each lane computes
// every branch of the per-pixel functions and keeps what the pixel's own
// conditions select, so the inks are those of separateEight and
// separateFour bit for bit.
//
// The light-ink branches work on whole numbers held in single precision
// floats. With the guards of separationParams (values 0..4080, limit
// 0..65535, densities 1..99, dK != dL) every product they form stays below
// 2^24 and so is exact, and each division truncates toward zero as C does:
//  - value x headroom / total (a dividend up to 2^28) is estimated from a
//    rounded reciprocal of the total, at most one off, and set right by
//    the remainder in integers;
//  - divisions by a density or by 100 - density multiply by its rounded
//    inverse, with a half added to the dividend, exact below 2^21; the two
//    dividends that could be larger are capped where the quotient passes
//    4081, beyond which the result no longer depends on it;
//  - the two divisions by dK - dL divide, exact below 2^24.
#include <immintrin.h>

#include <cstring>

#include "driver/raster/band_convert.h"
#include "driver/raster/separation.h"

namespace rx3 {
namespace {

// The line pass as the per-pixel functions do it; a run of equal device
// values is separated once.
void separateRowPlain(const SeparationParams& params, const ConvertedPixel* pixels, int count, int16_t* slots,
                      size_t stride, bool fourInks) {
  alignas(16) int16_t inks[8] = {};  // the four-ink set leaves the upper half 0
  bool haveInks = false;
  uint64_t inksKey = 0;
  for (int x = 0; x < count; ++x) {
    const ConvertedPixel& px = pixels[x];
    int16_t* slot = slots + static_cast<size_t>(x) * stride;
    if (px.kind == kPixelNothing || px.drawn == 0 || px.kind == kPixelWhite) {
      std::memset(slot, 0, 16);
      continue;
    }
    if (px.kind != kPixelInk) continue;
    uint64_t key;
    std::memcpy(&key, px.values, sizeof key);
    if (!haveInks || key != inksKey) {
      if (fourInks)
        separateFour(params, px.values, inks);
      else
        separateEight(params, px.values, inks);
      inksKey = key;
      haveInks = true;
    }
    std::memcpy(slot, inks, 16);
  }
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define RX3_VECTOR_SEPARATION 1
#else
#define RX3_VECTOR_SEPARATION 0
#endif

#if RX3_VECTOR_SEPARATION

#define RX3_AVX2 __attribute__((target("avx2")))

constexpr int32_t kFull = 4080;

// The settings of the document in every lane; the light-ink work is done
// on floats.
struct Lanes {
  __m256i limit;
  __m256 cyanDensity, magentaDensity, blackDensity, lightBlackDensity;
  __m256 blackRest, lightBlackRest, blackSpread;                        // 100 - dK, 100 - dL, dK - dL
  __m256 cyanOverOne, magentaOverOne, blackOverOne, lightBlackOverOne;  // 1 / density
  __m256 cyanOverRest, magentaOverRest, blackOverRest;                  // 1 / (100 - density)
  __m256 cyanCap, magentaCap, blackCap;                                 // 4081 x (100 - density)
  __m256 cyanFull, magentaFull, blackFull, lightBlackFull;              // density x 4080 / 100
};

RX3_AVX2 inline __m256 lane(int32_t v) {
  return _mm256_set1_ps(static_cast<float>(v));
}

// 1 / v rounded once, in the vector unit whatever the scalar unit does.
RX3_AVX2 inline __m256 inverse(int32_t v) {
  return _mm256_div_ps(_mm256_set1_ps(1.0f), lane(v));
}

RX3_AVX2 Lanes lanesOf(const SeparationParams& p) {
  const int32_t dC = p.lightCyanDensity, dM = p.lightMagentaDensity;
  const int32_t dK = p.lightBlackDensity, dL = p.lightLightBlackDensity;
  Lanes l;
  l.limit = _mm256_set1_epi32(p.limit);
  l.cyanDensity = lane(dC);
  l.magentaDensity = lane(dM);
  l.blackDensity = lane(dK);
  l.lightBlackDensity = lane(dL);
  l.blackRest = lane(100 - dK);
  l.lightBlackRest = lane(100 - dL);
  l.blackSpread = lane(dK - dL);
  l.cyanOverOne = inverse(dC);
  l.magentaOverOne = inverse(dM);
  l.blackOverOne = inverse(dK);
  l.lightBlackOverOne = inverse(dL);
  l.cyanOverRest = inverse(100 - dC);
  l.magentaOverRest = inverse(100 - dM);
  l.blackOverRest = inverse(100 - dK);
  l.cyanCap = lane((kFull + 1) * (100 - dC));
  l.magentaCap = lane((kFull + 1) * (100 - dM));
  l.blackCap = lane((kFull + 1) * (100 - dK));
  l.cyanFull = lane(dC * kFull / 100);
  l.magentaFull = lane(dM * kFull / 100);
  l.blackFull = lane(dK * kFull / 100);
  l.lightBlackFull = lane(dL * kFull / 100);
  return l;
}

RX3_AVX2 inline __m256 truncated(__m256 v) {
  return _mm256_round_ps(v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
}

// n / d truncated, for whole n with 0 <= n < 2^21 and d in 1..99 given as
// overOne = 1 / d rounded. (n + 0.5) / d lies at least 0.5 / d from a whole
// number, and the two roundings move it by less than that.
RX3_AVX2 inline __m256 quotient(__m256 n, __m256 overOne) {
  return truncated(_mm256_mul_ps(_mm256_add_ps(n, _mm256_set1_ps(0.5f)), overOne));
}

// The same for -2^21 < n < 2^21, toward zero.
RX3_AVX2 inline __m256 signedQuotient(__m256 n, __m256 overOne) {
  const __m256 half = _mm256_or_ps(_mm256_and_ps(n, _mm256_set1_ps(-0.0f)), _mm256_set1_ps(0.5f));
  return truncated(_mm256_mul_ps(_mm256_add_ps(n, half), overOne));
}

// n / d truncated toward zero, for whole n with |n| < 2^24 and d a whole
// number below 100 in magnitude.
RX3_AVX2 inline __m256 exactQuotient(__m256 n, __m256 d) {
  return truncated(_mm256_div_ps(n, d));
}

// mask ? a : b
RX3_AVX2 inline __m256 pick(__m256 mask, __m256 a, __m256 b) {
  return _mm256_blendv_ps(b, a, mask);
}
RX3_AVX2 inline __m256i pick(__m256i mask, __m256i a, __m256i b) {
  return _mm256_blendv_epi8(b, a, mask);
}

RX3_AVX2 inline __m256 greater(__m256 a, __m256 b) {
  return _mm256_cmp_ps(a, b, _CMP_GT_OQ);
}

RX3_AVX2 inline __m256 times100(__m256 v) {
  return _mm256_mul_ps(v, _mm256_set1_ps(100.0f));
}

// n / total for 0 <= n < 2^31 and 1 <= total <= 12240 with a quotient below
// 2^16: the estimate from the reciprocal is off by less than 0.02 before
// truncation, so at most one, and the remainder tells which way.
RX3_AVX2 inline __m256i divideByTotal(__m256i n, __m256i total, __m256 reciprocal) {
  __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(n), reciprocal));
  const __m256i r = _mm256_sub_epi32(n, _mm256_mullo_epi32(q, total));
  q = _mm256_add_epi32(q, _mm256_cmpgt_epi32(_mm256_setzero_si256(), r));                         // r < 0: one less
  q = _mm256_sub_epi32(q, _mm256_cmpgt_epi32(r, _mm256_sub_epi32(total, _mm256_set1_epi32(1))));  // r >= total
  return q;
}

struct Split {
  __m256 dark, light;
};

// splitLight of every lane, share = value x headroom / total. Where
// density x share reaches cap, c is more than the value whatever its exact
// quotient, so the product is taken at most at cap.
RX3_AVX2 inline Split splitLight(__m256 value, __m256 share, __m256 density, __m256 cap, __m256 overRest,
                                 __m256 overOne, __m256 full) {
  const __m256 full4080 = _mm256_set1_ps(kFull);
  __m256 c = quotient(_mm256_min_ps(_mm256_mul_ps(density, share), cap), overRest);
  c = _mm256_min_ps(c, value);
  const __m256 l = quotient(times100(c), overOne);
  const __m256 over = greater(l, full4080);
  Split s;
  s.dark = _mm256_sub_ps(value, pick(over, full, c));
  s.light = pick(over, full4080, l);
  return s;
}

struct BlackSplit {
  __m256 black, lightBlack, lightLightBlack;
};

// splitBlack of every lane, e = k x headroom / total: the three ways out of
// its conditions are all computed and chosen by masks, a reassigned in the
// second condition included.
RX3_AVX2 inline BlackSplit splitBlack(const Lanes& p, __m256 k, __m256 e) {
  const __m256 zero = _mm256_setzero_ps();
  const __m256 full = _mm256_set1_ps(kFull);
  const __m256 a0 = quotient(times100(k), p.lightBlackOverOne);
  const __m256 split = _mm256_or_ps(greater(a0, full), greater(a0, _mm256_add_ps(k, e)));

  const __m256 eK = _mm256_mul_ps(e, p.blackDensity);
  const __m256 b1 = exactQuotient(
      _mm256_sub_ps(_mm256_mul_ps(p.lightBlackRest, k), _mm256_mul_ps(p.lightBlackDensity, e)), p.blackSpread);
  const __m256 a1 = exactQuotient(_mm256_sub_ps(eK, _mm256_mul_ps(p.blackRest, k)), p.blackSpread);
  const __m256 allLight = _mm256_or_ps(greater(b1, full), greater(zero, a1));

  // All into light black. Where e x dK reaches the cap, x is above 4080 and
  // so is d; x is used only where d is not.
  const __m256 x = quotient(_mm256_min_ps(eK, p.blackCap), p.blackOverRest);
  const __m256 d = quotient(times100(x), p.blackOverOne);
  const __m256 dOver = greater(d, full);
  const __m256 bAll = pick(dOver, full, d);
  const __m256 gAll = pick(dOver, p.blackFull, x);

  // Light-light black full.
  const __m256 llFull = greater(a1, full);
  const __m256 bLl = signedQuotient(times100(_mm256_sub_ps(k, p.lightBlackFull)), p.blackOverOne);

  const __m256 splitAll = _mm256_and_ps(split, allLight);
  const __m256 splitLl = _mm256_andnot_ps(allLight, _mm256_and_ps(split, llFull));
  __m256 a = pick(split, a1, a0);
  a = pick(splitLl, full, a);
  a = _mm256_andnot_ps(splitAll, a);
  __m256 b = _mm256_and_ps(split, b1);
  b = pick(splitLl, bLl, b);
  b = pick(splitAll, bAll, b);
  const __m256 g = pick(splitAll, gAll, k);
  BlackSplit s;
  s.black = _mm256_sub_ps(k, g);
  s.lightBlack = b;
  s.lightLightBlack = a;
  return s;
}

// Eight pixels' records into their device values and kinds, one pixel per
// lane.
struct Block {
  __m256i cm, yk;  // as loaded: cyan and magenta, yellow and black, 16 bits each
  __m256i c, m, y, k, kind, drawn;
};

RX3_AVX2 inline Block loadBlock(const ConvertedPixel* pixels) {
  // Pixel i spans the 32-bit words 3i (cyan, magenta), 3i + 1 (yellow,
  // black) and 3i + 2 (kind, drawn) of the 24.
  const __m256i w0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels));
  const __m256i w1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels) + 1);
  const __m256i w2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels) + 2);
  const __m256i cmAt = _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5);
  const __m256i ykAt = _mm256_setr_epi32(1, 4, 7, 2, 5, 0, 3, 6);
  const __m256i kdAt = _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7);
  const __m256i cm = _mm256_blend_epi32(
      _mm256_blend_epi32(_mm256_permutevar8x32_epi32(w0, cmAt), _mm256_permutevar8x32_epi32(w1, cmAt), 0x38),
      _mm256_permutevar8x32_epi32(w2, cmAt), 0xC0);
  const __m256i yk = _mm256_blend_epi32(
      _mm256_blend_epi32(_mm256_permutevar8x32_epi32(w0, ykAt), _mm256_permutevar8x32_epi32(w1, ykAt), 0x18),
      _mm256_permutevar8x32_epi32(w2, ykAt), 0xE0);
  const __m256i kd = _mm256_blend_epi32(
      _mm256_blend_epi32(_mm256_permutevar8x32_epi32(w0, kdAt), _mm256_permutevar8x32_epi32(w1, kdAt), 0x1C),
      _mm256_permutevar8x32_epi32(w2, kdAt), 0xE0);
  Block b;
  b.cm = cm;
  b.yk = yk;
  b.c = _mm256_srai_epi32(_mm256_slli_epi32(cm, 16), 16);
  b.m = _mm256_srai_epi32(cm, 16);
  b.y = _mm256_srai_epi32(_mm256_slli_epi32(yk, 16), 16);
  b.k = _mm256_srai_epi32(yk, 16);
  b.kind = _mm256_srai_epi32(_mm256_slli_epi32(kd, 16), 16);
  b.drawn = _mm256_srai_epi32(kd, 16);
  return b;
}

RX3_AVX2 inline __m256i onScale(__m256i v) {
  return _mm256_min_epi32(_mm256_max_epi32(v, _mm256_setzero_si256()), _mm256_set1_epi32(kFull));
}

// The over-limit branch: the common part of cyan, magenta and yellow, as
// far as black can take it.
RX3_AVX2 inline __m256i overLimitShare(__m256i c, __m256i m, __m256i y, __m256i k, __m256i excess) {
  const __m256i half = _mm256_srai_epi32(excess, 1);  // excess > 0 where it is used
  return _mm256_min_epi32(_mm256_min_epi32(_mm256_min_epi32(half, c), _mm256_min_epi32(m, y)),
                          _mm256_sub_epi32(_mm256_set1_epi32(kFull), k));
}

// Two ink vectors (one pixel per lane) into one of 16-bit values, each
// value by its low 16 bits as the per-pixel functions store them: per
// 128-bit half (pixels 0-3, then 4-7) ink a of the four pixels, then ink b.
RX3_AVX2 inline __m256i packLow16(__m256i a, __m256i b) {
  const __m256i low = _mm256_set1_epi32(0xFFFF);
  return _mm256_packus_epi32(_mm256_and_si256(a, low), _mm256_and_si256(b, low));
}

// The inks of a block, two to a vector: cyan and magenta, yellow and black,
// light cyan and light magenta, light black and light-light black.
struct PackedInks {
  __m256i cm, yk, lightCm, lightK;
};

// The eight (or four, the others 0) inks of the block's pixels.
template <bool Four>
RX3_AVX2 inline PackedInks separateBlock(const Lanes& p, const Block& px) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c = onScale(px.c), m = onScale(px.m), y = onScale(px.y), k = onScale(px.k);
  const __m256i sum = _mm256_add_epi32(_mm256_add_epi32(c, m), _mm256_add_epi32(y, k));
  const __m256i under = _mm256_cmpgt_epi32(p.limit, sum);
  const __m256i over = _mm256_cmpgt_epi32(sum, p.limit);
  const __m256i gOver = overLimitShare(c, m, y, k, _mm256_sub_epi32(sum, p.limit));
  PackedInks out;
  if (Four) {
    const __m256i maxCmy = _mm256_max_epi32(_mm256_max_epi32(c, m), y);
    const __m256i gUnder = _mm256_min_epi32(_mm256_min_epi32(_mm256_srai_epi32(_mm256_sub_epi32(p.limit, sum), 1), k),
                                            _mm256_sub_epi32(_mm256_set1_epi32(kFull), maxCmy));
    const __m256i g = _mm256_sub_epi32(_mm256_and_si256(over, gOver), _mm256_and_si256(under, gUnder));
    out.cm = packLow16(_mm256_sub_epi32(c, g), _mm256_sub_epi32(m, g));
    out.yk = packLow16(_mm256_sub_epi32(y, g), _mm256_add_epi32(k, g));
    out.lightCm = out.lightK = zero;
    return out;
  }
  const __m256i total = _mm256_add_epi32(_mm256_add_epi32(c, m), k);
  const __m256i light = _mm256_and_si256(under, _mm256_cmpgt_epi32(total, zero));
  const __m256i g = _mm256_and_si256(over, gOver);
  __m256i outC = _mm256_sub_epi32(c, g), outM = _mm256_sub_epi32(m, g);
  const __m256i outY = _mm256_sub_epi32(y, g);
  __m256i outK = _mm256_add_epi32(k, g);
  out.lightCm = out.lightK = zero;
  if (!_mm256_testz_si256(light, light)) {
    const __m256i headroom = _mm256_sub_epi32(p.limit, sum);
    const __m256i safeTotal = _mm256_max_epi32(total, _mm256_set1_epi32(1));
    const __m256 reciprocal = _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_cvtepi32_ps(safeTotal));
    const __m256 shareC = _mm256_cvtepi32_ps(divideByTotal(_mm256_mullo_epi32(c, headroom), safeTotal, reciprocal));
    const __m256 shareM = _mm256_cvtepi32_ps(divideByTotal(_mm256_mullo_epi32(m, headroom), safeTotal, reciprocal));
    const __m256 e = _mm256_cvtepi32_ps(divideByTotal(_mm256_mullo_epi32(k, headroom), safeTotal, reciprocal));
    const Split sc =
        splitLight(_mm256_cvtepi32_ps(c), shareC, p.cyanDensity, p.cyanCap, p.cyanOverRest, p.cyanOverOne, p.cyanFull);
    const Split sm = splitLight(_mm256_cvtepi32_ps(m), shareM, p.magentaDensity, p.magentaCap, p.magentaOverRest,
                                p.magentaOverOne, p.magentaFull);
    const BlackSplit sk = splitBlack(p, _mm256_cvtepi32_ps(k), e);
    outC = pick(light, _mm256_cvttps_epi32(sc.dark), outC);
    outM = pick(light, _mm256_cvttps_epi32(sm.dark), outM);
    outK = pick(light, _mm256_cvttps_epi32(sk.black), outK);
    const __m256i light16 = _mm256_packs_epi32(light, light);
    out.lightCm = _mm256_and_si256(packLow16(_mm256_cvttps_epi32(sc.light), _mm256_cvttps_epi32(sm.light)), light16);
    out.lightK = _mm256_and_si256(
        packLow16(_mm256_cvttps_epi32(sk.lightBlack), _mm256_cvttps_epi32(sk.lightLightBlack)), light16);
  }
  out.cm = packLow16(outC, outM);
  out.yk = packLow16(outY, outK);
  return out;
}

// Stores the slots of the lanes set in `lanes`, each 16 bytes and `stride`
// int16 from the last.
RX3_AVX2 inline void storeSlots(int16_t* slot, size_t stride, const PackedInks& inks, int lanes) {
  const __m256i cy = _mm256_unpacklo_epi16(inks.cm, inks.yk), mk = _mm256_unpackhi_epi16(inks.cm, inks.yk);
  const __m256i dark01 = _mm256_unpacklo_epi16(cy, mk), dark23 = _mm256_unpackhi_epi16(cy, mk);
  const __m256i lcly = _mm256_unpacklo_epi16(inks.lightCm, inks.lightK);
  const __m256i lmlk = _mm256_unpackhi_epi16(inks.lightCm, inks.lightK);
  const __m256i light01 = _mm256_unpacklo_epi16(lcly, lmlk), light23 = _mm256_unpackhi_epi16(lcly, lmlk);
  // The slot of pixel j in the low half of out[j], of pixel j + 4 in its
  // high half.
  const __m256i out[4] = {_mm256_unpacklo_epi64(dark01, light01), _mm256_unpackhi_epi64(dark01, light01),
                          _mm256_unpacklo_epi64(dark23, light23), _mm256_unpackhi_epi64(dark23, light23)};
  if (lanes == 0xFF) {
    for (int j = 0; j < 4; ++j) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(slot + static_cast<size_t>(j) * stride),
                       _mm256_castsi256_si128(out[j]));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(slot + static_cast<size_t>(j + 4) * stride),
                       _mm256_extracti128_si256(out[j], 1));
    }
    return;
  }
  for (int i = 0; i < 8; ++i) {
    if (!(lanes & (1 << i))) continue;
    const __m128i one = i < 4 ? _mm256_castsi256_si128(out[i & 3]) : _mm256_extracti128_si256(out[i & 3], 1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(slot + static_cast<size_t>(i) * stride), one);
  }
}

template <bool Four>
RX3_AVX2 void separateRowVector(const SeparationParams& params, const ConvertedPixel* pixels, int count, int16_t* slots,
                                size_t stride) {
  const Lanes p = lanesOf(params);
  const __m256i white = _mm256_set1_epi32(kPixelWhite);
  const __m256i nothing = _mm256_set1_epi32(kPixelNothing);
  const __m256i ink = _mm256_set1_epi32(kPixelInk);
  const __m256i zero = _mm256_setzero_si256();
  ConvertedPixel tail[8];
  // The last block separated: a block whose values are all those of the
  // last one, as in flat areas, takes its inks.
  __m256i lastCm = zero, lastYk = zero;
  PackedInks last = {zero, zero, zero, zero};
  bool haveLast = false;
  for (int x0 = 0; x0 < count; x0 += 8) {
    const int n = count - x0 < 8 ? count - x0 : 8;
    const ConvertedPixel* from = pixels + x0;
    if (n < 8) {
      // Lanes past the row take a kind that leaves its slot alone.
      std::memset(tail, 0, sizeof tail);
      for (int i = n; i < 8; ++i) tail[i].kind = tail[i].drawn = -1;
      std::memcpy(tail, from, sizeof(ConvertedPixel) * static_cast<size_t>(n));
      from = tail;
    }
    const Block px = loadBlock(from);
    const __m256i empty =
        _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi32(px.kind, nothing), _mm256_cmpeq_epi32(px.drawn, zero)),
                        _mm256_cmpeq_epi32(px.kind, white));
    const __m256i inked = _mm256_andnot_si256(empty, _mm256_cmpeq_epi32(px.kind, ink));
    const int inkedMask = _mm256_movemask_ps(_mm256_castsi256_ps(inked));
    const int written = inkedMask | _mm256_movemask_ps(_mm256_castsi256_ps(empty));
    if (written == 0) continue;
    PackedInks inks = {zero, zero, zero, zero};
    if (inkedMask) {
      const __m256i same = _mm256_and_si256(_mm256_cmpeq_epi32(px.cm, lastCm), _mm256_cmpeq_epi32(px.yk, lastYk));
      if (!haveLast || _mm256_movemask_epi8(same) != -1) {
        last = separateBlock<Four>(p, px);
        lastCm = px.cm;
        lastYk = px.yk;
        haveLast = true;
      }
      inks = last;
      if (inkedMask != 0xFF) {
        // Paper white and nothing drawn take 0.
        const __m256i keep = _mm256_packs_epi32(inked, inked);
        inks.cm = _mm256_and_si256(inks.cm, keep);
        inks.yk = _mm256_and_si256(inks.yk, keep);
        inks.lightCm = _mm256_and_si256(inks.lightCm, keep);
        inks.lightK = _mm256_and_si256(inks.lightK, keep);
      }
    }
    storeSlots(slots + static_cast<size_t>(x0) * stride, stride, inks, written);
  }
}

bool processorHasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

#endif

// Slot x at slots + x * stride.
void separateSlots(const SeparationParams& params, const ConvertedPixel* pixels, int count, int16_t* slots,
                   size_t stride, bool fourInks) {
#if RX3_VECTOR_SEPARATION
  static const bool vector = processorHasAvx2();
  if (vector) {
    if (fourInks)
      separateRowVector<true>(params, pixels, count, slots, stride);
    else
      separateRowVector<false>(params, pixels, count, slots, stride);
    return;
  }
#endif
  separateRowPlain(params, pixels, count, slots, stride, fourInks);
}

}  // namespace

void separateRow(const SeparationParams& params, const ConvertedPixel* pixels, int count, int parity, int16_t* slots,
                 bool fourInks) {
  separateSlots(params, pixels, count, slots + static_cast<size_t>(parity) * 8, 16, fourInks);
}

void separateRowDense(const SeparationParams& params, const ConvertedPixel* pixels, int count, int16_t* inks,
                      bool fourInks) {
  separateSlots(params, pixels, count, inks, 8, fourInks);
}

}  // namespace rx3
