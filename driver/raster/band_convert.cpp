// Band colour conversion. Pixels of the other colour space are turned into
// the mode's own space by the colour library's simple conversions and
// written back, then paper white is told apart and every other pixel goes
// through the colour transform. A run of one colour costs one transform
// call: the last input and its result are kept for the rest of the call.
#include "driver/raster/band_convert.h"

#include <emmintrin.h>

#include <bit>
#include <cstddef>
#include <cstring>

#include "PFLink.h"

// The 32-bit build compiles for processors without SSE2 by default; the
// colour library needs it anyway, and the hand-over asks for it by name.
#if defined(__GNUC__) && !defined(__SSE2__)
#define RX3_SSE2 __attribute__((target("sse2")))
#else
#define RX3_SSE2
#endif

namespace rx3 {
namespace {

constexpr int kRenderedBytes = 8;
constexpr int kKindByte = 7;
static_assert(std::endian::native == std::endian::little, "pixel bytes are read as little-endian words");

// Cyan in the most significant byte of the packed result, black in the least.
void rgbPixelToCmyk(uint8_t* px) {
  const uint32_t c = jColorRGBtoCMYK(px[0], px[1], px[2]);
  px[0] = static_cast<uint8_t>(c);
  px[1] = static_cast<uint8_t>(c >> 24);
  px[2] = static_cast<uint8_t>(c >> 16);
  px[3] = static_cast<uint8_t>(c >> 8);
  px[kKindByte] = kRenderedCmyk;
}

// Red in the least significant byte of the packed result.
void cmykPixelToRgb(uint8_t* px) {
  const uint32_t c = jColorCMYKtoRGB(px[1], px[2], px[3], px[0]);
  px[0] = static_cast<uint8_t>(c);
  px[1] = static_cast<uint8_t>(c >> 8);
  px[2] = static_cast<uint8_t>(c >> 16);
  px[3] = 0;
  px[kKindByte] = kRenderedRgb;
}

// A record as two words: the four values (cyan in the low 16 bits), then
// the kind with drawn above it.
static_assert(offsetof(ConvertedPixel, kind) == 8 && offsetof(ConvertedPixel, drawn) == 10, "record layout");
constexpr uint32_t kNothingWord = static_cast<uint16_t>(kPixelNothing);
constexpr uint32_t kWhiteWord = static_cast<uint16_t>(kPixelWhite) | 1u << 16;
constexpr uint32_t kInkWord = static_cast<uint16_t>(kPixelInk) | 1u << 16;

void putRecord(ConvertedPixel* out, uint64_t values, uint32_t kindWord) {
  std::memcpy(out->values, &values, sizeof values);
  std::memcpy(&out->kind, &kindWord, sizeof kindWord);
}

// The transform of four input bytes (the first in the low byte), packed as
// a record's values: the low 16 bits of each result, as a record keeps
// them (a colour library's results are 0..4080, but one outside that range
// must not be clamped where it used to wrap).
RX3_SSE2 uint64_t transformed(jCMS transform, uint32_t input) {
  alignas(16) int32_t v[4];
  const __m128i bytes = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int32_t>(input)), _mm_setzero_si128());
  _mm_store_si128(reinterpret_cast<__m128i*>(v), _mm_unpacklo_epi16(bytes, _mm_setzero_si128()));
  jPFLinkCOLtoCMYK16(transform, v);
  const __m128i results = _mm_load_si128(reinterpret_cast<const __m128i*>(v));
  uint64_t packed;
  const __m128i low = _mm_srai_epi32(_mm_slli_epi32(results, 16), 16);  // in range for the saturating pack
  _mm_storel_epi64(reinterpret_cast<__m128i*>(&packed), _mm_packs_epi32(low, low));
  return packed;
}

// One copy of the loop for each mode, so the mode costs nothing per pixel.
// A pixel in the mode's own colour space is read as it is; one of the
// other space is rewritten first and then converted like the others.
// Paper white is told apart; everything else goes through the one-entry
// cache (a run of one colour costs one transform call). A record depends
// on nothing but its pixel's bytes 0..3 once the pixel is in the mode's own
// space, so the pixels after it that are already in that space with the
// same bytes take the same record in a loop of their own.
template <bool cmykMode>
RX3_SSE2 void convertPixels(jCMS transform, uint8_t* rendered, ConvertedPixel* out, int count) {
  constexpr uint8_t ownKind = cmykMode ? kRenderedCmyk : kRenderedRgb;
  constexpr uint8_t otherKind = cmykMode ? kRenderedRgb : kRenderedCmyk;
  // The one-entry cache: bytes 0..3 of the last input converted, and the
  // result. White never goes through it, so while it is empty it holds a
  // white input, which no input is compared with.
  uint32_t cachedInput = cmykMode ? 0u : 0xFFFFFFFFu;
  uint64_t cachedValues = 0;
  uint8_t* px = rendered;
  uint8_t* const end = rendered + static_cast<size_t>(count > 0 ? count : 0) * kRenderedBytes;
  ConvertedPixel* rec = out;
  while (px != end) {
    const uint8_t kind = px[kKindByte];
    if (kind != ownKind) {
      if (kind != otherKind) {
        putRecord(rec++, 0, kNothingWord);
        px += kRenderedBytes;
        continue;
      }
      if constexpr (cmykMode)
        rgbPixelToCmyk(px);
      else
        cmykPixelToRgb(px);
    }
    uint32_t input;  // bytes 0..3 as they are now
    std::memcpy(&input, px, sizeof input);
    uint64_t values = 0;
    uint32_t kindWord = kWhiteWord;
    if (cmykMode ? input != 0 : (input & 0xFFFFFFu) != 0xFFFFFFu) {
      if (input != cachedInput) {
        cachedInput = input;  // first: one register holds both over the call
        // CMYK pixels hold black in byte 0; the transform takes it last.
        cachedValues = transformed(transform, cmykMode ? (input >> 8 | input << 24) : input);
      }
      values = cachedValues;
      kindWord = kInkWord;
    }
    uint32_t next;
    do {
      putRecord(rec++, values, kindWord);
      px += kRenderedBytes;
      if (px == end || px[kKindByte] != ownKind) break;
      std::memcpy(&next, px, sizeof next);
    } while (next == input);
  }
}

}  // namespace

void convertBand(jCMS transform, int colorMode, uint8_t* rendered, ConvertedPixel* out, int count) {
  if (colorMode == kColorModeCmyk)
    convertPixels<true>(transform, rendered, out, count);
  else
    convertPixels<false>(transform, rendered, out, count);
}

}  // namespace rx3
