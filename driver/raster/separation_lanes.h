// The light-ink arithmetic of the vector separation, eight pixels at a
// time, one pixel per 32-bit lane (AVX2, for separation_vector.cpp only).
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
#pragma once

#include "driver/raster/separation.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define RX3_VECTOR_SEPARATION 1
#else
#define RX3_VECTOR_SEPARATION 0
#endif

#if RX3_VECTOR_SEPARATION

#include <immintrin.h>

#include <cstdint>

#define RX3_AVX2 __attribute__((target("avx2")))

namespace rx3::lanes {

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

RX3_AVX2 inline Lanes lanesOf(const SeparationParams& p) {
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

}  // namespace rx3::lanes

#endif  // RX3_VECTOR_SEPARATION
