// The separation of a whole row, eight pixels at a time on processors with
// AVX2 (chosen at run time), one pixel per 32-bit lane. Each lane computes
// every branch of the per-pixel functions and keeps what the pixel's own
// conditions select, so the inks are those of separateEight and
// separateFour bit for bit.
// The lane arithmetic of the light inks is in separation_lanes.h.
#include <cstring>

#include "driver/raster/band_convert.h"
#include "driver/raster/separation.h"
#include "driver/raster/separation_lanes.h"

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

#if RX3_VECTOR_SEPARATION

using namespace lanes;

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

// withinLimit of the over-limit lanes: cyan, magenta and yellow times
// room / (their sum), truncated, where the sum with black is still over.
// The products stay below 2^28 and the sum below 12241, as divideByTotal
// needs.
struct Chromatic {
  __m256i c, m, y;
};

RX3_AVX2 inline Chromatic withinLimit(__m256i limit, __m256i over, Chromatic in, __m256i k) {
  const __m256i chromatic = _mm256_add_epi32(_mm256_add_epi32(in.c, in.m), in.y);
  const __m256i cut = _mm256_and_si256(over, _mm256_cmpgt_epi32(_mm256_add_epi32(chromatic, k), limit));
  if (_mm256_testz_si256(cut, cut)) return in;
  const __m256i room = _mm256_max_epi32(_mm256_sub_epi32(limit, k), _mm256_setzero_si256());
  const __m256i safe = _mm256_max_epi32(chromatic, _mm256_set1_epi32(1));
  const __m256 reciprocal = _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_cvtepi32_ps(safe));
  return {pick(cut, divideByTotal(_mm256_mullo_epi32(in.c, room), safe, reciprocal), in.c),
          pick(cut, divideByTotal(_mm256_mullo_epi32(in.m, room), safe, reciprocal), in.m),
          pick(cut, divideByTotal(_mm256_mullo_epi32(in.y, room), safe, reciprocal), in.y)};
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
    const __m256i outK = _mm256_add_epi32(k, g);
    const Chromatic cmy =
        withinLimit(p.limit, over, {_mm256_sub_epi32(c, g), _mm256_sub_epi32(m, g), _mm256_sub_epi32(y, g)}, outK);
    out.cm = packLow16(cmy.c, cmy.m);
    out.yk = packLow16(cmy.y, outK);
    out.lightCm = out.lightK = zero;
    return out;
  }
  const __m256i total = _mm256_add_epi32(_mm256_add_epi32(c, m), k);
  const __m256i light = _mm256_and_si256(under, _mm256_cmpgt_epi32(total, zero));
  const __m256i g = _mm256_and_si256(over, gOver);
  __m256i outK = _mm256_add_epi32(k, g);
  const Chromatic cmy =
      withinLimit(p.limit, over, {_mm256_sub_epi32(c, g), _mm256_sub_epi32(m, g), _mm256_sub_epi32(y, g)}, outK);
  __m256i outC = cmy.c, outM = cmy.m;
  const __m256i outY = cmy.y;
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
