// The separation of a whole row, eight pixels at a time on processors with
// AVX2 (chosen at run time), one pixel per 32-bit lane. Each lane computes
// every branch of the per-pixel functions and keeps what the pixel's own
// conditions select, so the inks are those of separateEight and
// separateFour bit for bit.
//
// Divisions are done in single precision and truncated toward zero, as C
// truncates. That is exact whenever the dividend is below 2^24 in magnitude
// and the divisor a small integer: the dividend and divisor are exact
// floats, a whole quotient is exact, and any other quotient lies at least
// 1/|divisor| from the integers around it, more than the rounding of a
// division whose result is below 2^24/|divisor| can move it. The guards of
// separationParams keep every dividend of the separation below 2^24 but
// two kinds:
//  - value x headroom / total (up to 2^28): the quotient is estimated from
//    a single precision reciprocal of the total, at most one off, and set
//    right by the remainder;
//  - x x 100 / dK (up to 2^30), whose only use below 4080 needs x below
//    167772: larger x are taken as 167772, which still gives more than 4080.
#include <immintrin.h>

#include <cstring>

#include "driver/raster/band_convert.h"
#include "driver/raster/separation.h"

namespace rx3 {
namespace {

// The line pass as the per-pixel functions do it; a run of equal device
// values is separated once.
void separateRowPlain(const SeparationParams& params, const ConvertedPixel* pixels, int count, int parity,
                      int16_t* slots, bool fourInks) {
  alignas(16) int16_t inks[8] = {};  // the four-ink set leaves the upper half 0
  bool haveInks = false;
  uint64_t inksKey = 0;
  for (int x = 0; x < count; ++x) {
    const ConvertedPixel& px = pixels[x];
    int16_t* slot = slots + (static_cast<size_t>(x) * 2 + parity) * 8;
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

// The settings of the document in every lane.
struct Lanes {
  __m256i limit;
  __m256i cyanDensity, magentaDensity, blackDensity, lightBlackDensity;
  __m256i blackRest, lightBlackRest;                         // 100 - density
  __m256i cyanFull, magentaFull, blackFull, lightBlackFull;  // density x 4080 / 100
  __m256i blackSpread;                                       // dK - dL
  __m256 cyanDensityF, magentaDensityF, blackDensityF, lightBlackDensityF;
  __m256 cyanRestF, magentaRestF, blackRestF, blackSpreadF;
};

RX3_AVX2 Lanes lanesOf(const SeparationParams& p) {
  const int32_t dC = p.lightCyanDensity, dM = p.lightMagentaDensity;
  const int32_t dK = p.lightBlackDensity, dL = p.lightLightBlackDensity;
  Lanes l;
  l.limit = _mm256_set1_epi32(p.limit);
  l.cyanDensity = _mm256_set1_epi32(dC);
  l.magentaDensity = _mm256_set1_epi32(dM);
  l.blackDensity = _mm256_set1_epi32(dK);
  l.lightBlackDensity = _mm256_set1_epi32(dL);
  l.blackRest = _mm256_set1_epi32(100 - dK);
  l.lightBlackRest = _mm256_set1_epi32(100 - dL);
  l.cyanFull = _mm256_set1_epi32(dC * kFull / 100);
  l.magentaFull = _mm256_set1_epi32(dM * kFull / 100);
  l.blackFull = _mm256_set1_epi32(dK * kFull / 100);
  l.lightBlackFull = _mm256_set1_epi32(dL * kFull / 100);
  l.blackSpread = _mm256_set1_epi32(dK - dL);
  l.cyanDensityF = _mm256_set1_ps(static_cast<float>(dC));
  l.magentaDensityF = _mm256_set1_ps(static_cast<float>(dM));
  l.blackDensityF = _mm256_set1_ps(static_cast<float>(dK));
  l.lightBlackDensityF = _mm256_set1_ps(static_cast<float>(dL));
  l.cyanRestF = _mm256_set1_ps(static_cast<float>(100 - dC));
  l.magentaRestF = _mm256_set1_ps(static_cast<float>(100 - dM));
  l.blackRestF = _mm256_set1_ps(static_cast<float>(100 - dK));
  l.blackSpreadF = _mm256_set1_ps(static_cast<float>(dK - dL));
  return l;
}

// n / d truncated toward zero, for |n| < 2^24 and d a small integer.
RX3_AVX2 inline __m256i divide(__m256i n, __m256 d) {
  return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(n), d));
}

// mask ? a : b
RX3_AVX2 inline __m256i pick(__m256i mask, __m256i a, __m256i b) {
  return _mm256_blendv_epi8(b, a, mask);
}

RX3_AVX2 inline __m256i times100(__m256i v) {
  return _mm256_mullo_epi32(v, _mm256_set1_epi32(100));
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
  __m256i dark, light;
};

// splitLight of every lane.
RX3_AVX2 inline Split splitLight(__m256i value, __m256i density, __m256i full, __m256 densityF, __m256 restF,
                                 __m256i headroom, __m256i total, __m256 reciprocal) {
  const __m256i full4080 = _mm256_set1_epi32(kFull);
  const __m256i share = divideByTotal(_mm256_mullo_epi32(value, headroom), total, reciprocal);
  __m256i c = divide(_mm256_mullo_epi32(density, share), restF);
  c = _mm256_min_epi32(c, value);
  const __m256i l = divide(times100(c), densityF);
  const __m256i over = _mm256_cmpgt_epi32(l, full4080);
  Split s;
  s.dark = _mm256_sub_epi32(value, pick(over, full, c));
  s.light = pick(over, full4080, l);
  return s;
}

struct BlackSplit {
  __m256i black, lightBlack, lightLightBlack;
};

// splitBlack of every lane: the three ways out of its conditions are all
// computed and chosen by masks, a reassigned in the second condition
// included.
RX3_AVX2 inline BlackSplit splitBlack(const Lanes& p, __m256i k, __m256i headroom, __m256i total, __m256 reciprocal) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i full = _mm256_set1_epi32(kFull);
  const __m256i a0 = divide(times100(k), p.lightBlackDensityF);
  const __m256i e = divideByTotal(_mm256_mullo_epi32(k, headroom), total, reciprocal);
  const __m256i split = _mm256_or_si256(_mm256_cmpgt_epi32(a0, full), _mm256_cmpgt_epi32(a0, _mm256_add_epi32(k, e)));

  const __m256i b1 =
      divide(_mm256_sub_epi32(_mm256_mullo_epi32(p.lightBlackRest, k), _mm256_mullo_epi32(p.lightBlackDensity, e)),
             p.blackSpreadF);
  const __m256i a1 = divide(_mm256_sub_epi32(_mm256_mullo_epi32(e, p.blackDensity), _mm256_mullo_epi32(p.blackRest, k)),
                            p.blackSpreadF);
  const __m256i allLight = _mm256_or_si256(_mm256_cmpgt_epi32(b1, full), _mm256_cmpgt_epi32(zero, a1));

  // All into light black.
  const __m256i x = divide(_mm256_mullo_epi32(e, p.blackDensity), p.blackRestF);
  const __m256i d = divide(times100(_mm256_min_epi32(x, _mm256_set1_epi32(167772))), p.blackDensityF);
  const __m256i dOver = _mm256_cmpgt_epi32(d, full);
  const __m256i bAll = pick(dOver, full, d);
  const __m256i gAll = pick(dOver, p.blackFull, x);

  // Light-light black full.
  const __m256i llFull = _mm256_cmpgt_epi32(a1, full);
  const __m256i bLl = divide(times100(_mm256_sub_epi32(k, p.lightBlackFull)), p.blackDensityF);

  const __m256i splitAll = _mm256_and_si256(split, allLight);
  const __m256i splitLl = _mm256_andnot_si256(allLight, _mm256_and_si256(split, llFull));
  __m256i a = pick(split, a1, a0);
  a = pick(splitLl, full, a);
  a = _mm256_andnot_si256(splitAll, a);
  __m256i b = _mm256_and_si256(split, b1);
  b = pick(splitLl, bLl, b);
  b = pick(splitAll, bAll, b);
  const __m256i g = pick(splitAll, gAll, k);
  BlackSplit s;
  s.black = _mm256_sub_epi32(k, g);
  s.lightBlack = b;
  s.lightLightBlack = a;
  return s;
}

// Eight pixels' records into their device values and kinds, one pixel per
// lane.
struct Block {
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

// The eight (or four, upper lanes 0) inks of the block's pixels.
template <bool Four>
RX3_AVX2 inline void separateBlock(const Lanes& p, const Block& px, __m256i inks[8]) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c = onScale(px.c), m = onScale(px.m), y = onScale(px.y), k = onScale(px.k);
  const __m256i sum = _mm256_add_epi32(_mm256_add_epi32(c, m), _mm256_add_epi32(y, k));
  const __m256i under = _mm256_cmpgt_epi32(p.limit, sum);
  const __m256i over = _mm256_cmpgt_epi32(sum, p.limit);
  const __m256i gOver = overLimitShare(c, m, y, k, _mm256_sub_epi32(sum, p.limit));
  if (Four) {
    const __m256i maxCmy = _mm256_max_epi32(_mm256_max_epi32(c, m), y);
    const __m256i gUnder = _mm256_min_epi32(_mm256_min_epi32(_mm256_srai_epi32(_mm256_sub_epi32(p.limit, sum), 1), k),
                                            _mm256_sub_epi32(_mm256_set1_epi32(kFull), maxCmy));
    const __m256i g = _mm256_sub_epi32(_mm256_and_si256(over, gOver), _mm256_and_si256(under, gUnder));
    inks[kCyan] = _mm256_sub_epi32(c, g);
    inks[kMagenta] = _mm256_sub_epi32(m, g);
    inks[kYellow] = _mm256_sub_epi32(y, g);
    inks[kBlack] = _mm256_add_epi32(k, g);
    inks[kLightCyan] = inks[kLightMagenta] = inks[kLightBlack] = inks[kLightLightBlack] = zero;
    return;
  }
  const __m256i total = _mm256_add_epi32(_mm256_add_epi32(c, m), k);
  const __m256i light = _mm256_and_si256(under, _mm256_cmpgt_epi32(total, zero));
  const __m256i g = _mm256_and_si256(over, gOver);
  __m256i outC = _mm256_sub_epi32(c, g), outM = _mm256_sub_epi32(m, g);
  __m256i outY = _mm256_sub_epi32(y, g), outK = _mm256_add_epi32(k, g);
  __m256i outLc = zero, outLm = zero, outLk = zero, outLlk = zero;
  if (!_mm256_testz_si256(light, light)) {
    const __m256i headroom = _mm256_sub_epi32(p.limit, sum);
    const __m256i safeTotal = _mm256_max_epi32(total, _mm256_set1_epi32(1));
    const __m256 reciprocal = _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_cvtepi32_ps(safeTotal));
    const Split sc =
        splitLight(c, p.cyanDensity, p.cyanFull, p.cyanDensityF, p.cyanRestF, headroom, safeTotal, reciprocal);
    const Split sm = splitLight(m, p.magentaDensity, p.magentaFull, p.magentaDensityF, p.magentaRestF, headroom,
                                safeTotal, reciprocal);
    const BlackSplit sk = splitBlack(p, k, headroom, safeTotal, reciprocal);
    outC = pick(light, sc.dark, outC);
    outM = pick(light, sm.dark, outM);
    outK = pick(light, sk.black, outK);
    outLc = _mm256_and_si256(light, sc.light);
    outLm = _mm256_and_si256(light, sm.light);
    outLk = _mm256_and_si256(light, sk.lightBlack);
    outLlk = _mm256_and_si256(light, sk.lightLightBlack);
  }
  inks[kCyan] = outC;
  inks[kMagenta] = outM;
  inks[kYellow] = outY;
  inks[kBlack] = outK;
  inks[kLightCyan] = outLc;
  inks[kLightMagenta] = outLm;
  inks[kLightBlack] = outLk;
  inks[kLightLightBlack] = outLlk;
}

// Eight ink vectors (one pixel per lane) into eight slots of eight int16
// each, every value by its low 16 bits as the per-pixel functions store
// them.
RX3_AVX2 inline __m256i packLow16(__m256i a, __m256i b) {
  const __m256i low = _mm256_set1_epi32(0xFFFF);
  return _mm256_packus_epi32(_mm256_and_si256(a, low), _mm256_and_si256(b, low));
}

RX3_AVX2 inline void transpose(const __m256i inks[8], __m256i pixels[4]) {
  // Per 128-bit half (pixels 0-3, then 4-7): ink a of the four pixels, then
  // ink b of the four.
  const __m256i cm = packLow16(inks[0], inks[1]), yk = packLow16(inks[2], inks[3]);
  const __m256i lclm = packLow16(inks[4], inks[5]), lklk = packLow16(inks[6], inks[7]);
  const __m256i cy = _mm256_unpacklo_epi16(cm, yk), mk = _mm256_unpackhi_epi16(cm, yk);
  const __m256i dark01 = _mm256_unpacklo_epi16(cy, mk), dark23 = _mm256_unpackhi_epi16(cy, mk);
  const __m256i lcly = _mm256_unpacklo_epi16(lclm, lklk), lmlk = _mm256_unpackhi_epi16(lclm, lklk);
  const __m256i light01 = _mm256_unpacklo_epi16(lcly, lmlk), light23 = _mm256_unpackhi_epi16(lcly, lmlk);
  // pixels[j] holds the slot of pixel j in its low half, of pixel j + 4 in
  // its high half.
  pixels[0] = _mm256_unpacklo_epi64(dark01, light01);
  pixels[1] = _mm256_unpackhi_epi64(dark01, light01);
  pixels[2] = _mm256_unpacklo_epi64(dark23, light23);
  pixels[3] = _mm256_unpackhi_epi64(dark23, light23);
}

template <bool Four>
RX3_AVX2 void separateRowVector(const SeparationParams& params, const ConvertedPixel* pixels, int count, int parity,
                                int16_t* slots) {
  const Lanes p = lanesOf(params);
  const __m256i white = _mm256_set1_epi32(kPixelWhite);
  const __m256i nothing = _mm256_set1_epi32(kPixelNothing);
  const __m256i ink = _mm256_set1_epi32(kPixelInk);
  const __m256i zero = _mm256_setzero_si256();
  ConvertedPixel tail[8];
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
    __m256i inks[8];
    if (inkedMask) {
      separateBlock<Four>(p, px, inks);
      for (__m256i& v : inks) v = _mm256_and_si256(v, inked);
    } else {
      for (__m256i& v : inks) v = zero;
    }
    __m256i out[4];
    transpose(inks, out);
    int16_t* slot = slots + (static_cast<size_t>(x0) * 2 + parity) * 8;
    for (int i = 0; i < 8; ++i) {
      if (!(written & (1 << i))) continue;
      const __m256i both = out[i & 3];
      const __m128i one = i < 4 ? _mm256_castsi256_si128(both) : _mm256_extracti128_si256(both, 1);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(slot + static_cast<size_t>(i) * 16), one);
    }
  }
}

bool processorHasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

#endif

}  // namespace

void separateRow(const SeparationParams& params, const ConvertedPixel* pixels, int count, int parity, int16_t* slots,
                 bool fourInks) {
#if RX3_VECTOR_SEPARATION
  static const bool vector = processorHasAvx2();
  if (vector) {
    if (fourInks)
      separateRowVector<true>(params, pixels, count, parity, slots);
    else
      separateRowVector<false>(params, pixels, count, parity, slots);
    return;
  }
#endif
  separateRowPlain(params, pixels, count, parity, slots, fourInks);
}

}  // namespace rx3
