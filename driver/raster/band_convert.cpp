// Band colour conversion. Pixels of the other colour space are turned into
// the mode's own space by the colour library's simple conversions and
// written back, then paper white is told apart and every other pixel goes
// through the colour transform. A run of one colour costs one transform
// call: the last input and its result are kept for the rest of the call.
#include "driver/raster/band_convert.h"

#include <bit>
#include <cstddef>
#include <cstring>

#include "PFLink.h"

namespace rx3 {
namespace {

constexpr int kRenderedBytes = 8;
constexpr int kKindByte = 7;
static_assert(std::endian::native == std::endian::little, "pixel keys are read as little-endian words");

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

// The transform's results by their low 16 bits, packed as a record's values.
uint64_t transformed(jCMS transform, int32_t v[4]) {
  jPFLinkCOLtoCMYK16(transform, v);
  uint64_t packed = 0;
  for (int i = 0; i < 4; ++i) packed |= uint64_t{static_cast<uint16_t>(v[i])} << (16 * i);
  return packed;
}

// One copy of the loop for each mode, so the mode costs nothing per pixel.
template <bool cmykMode>
void convertPixels(jCMS transform, uint8_t* rendered, ConvertedPixel* out, int count) {
  constexpr uint8_t ownKind = cmykMode ? kRenderedCmyk : kRenderedRgb;
  constexpr uint8_t otherKind = cmykMode ? kRenderedRgb : kRenderedCmyk;
  // The one-entry cache: bytes 0..3 of the last input converted, and the
  // result. Bit 32 is set while it is empty, so no input matches it.
  uint64_t cachedInput = uint64_t{1} << 32;
  uint64_t cachedValues = 0;
  // A pixel whose bytes 0..3 and kind equal those of the pixel before it
  // gets the same record; only a pixel already in the mode's own colour
  // space is taken this way, as one of the other space must be rewritten.
  // The last record is kept in registers: no wait on the store just made.
  constexpr uint64_t kKeyBytes = 0xFF000000FFFFFFFFull;
  bool haveLast = false;
  uint64_t lastKey = 0;
  uint64_t lastValues = 0;
  uint32_t lastKindWord = 0;
  for (int i = 0; i < count; ++i) {
    uint8_t* px = rendered + static_cast<size_t>(i) * kRenderedBytes;
    ConvertedPixel* rec = out + i;
    uint64_t key;
    std::memcpy(&key, px, sizeof key);
    key &= kKeyBytes;
    if (haveLast && key == lastKey) {
      putRecord(rec, lastValues, lastKindWord);
      continue;
    }
    haveLast = px[kKindByte] == ownKind;
    lastKey = key;
    if (px[kKindByte] == otherKind) {
      if constexpr (cmykMode)
        rgbPixelToCmyk(px);
      else
        cmykPixelToRgb(px);
    }
    uint32_t input;  // bytes 0..3 as they are now
    std::memcpy(&input, px, sizeof input);
    lastValues = 0;
    if (px[kKindByte] != ownKind) {
      lastKindWord = kNothingWord;
    } else if (cmykMode ? input == 0 : (input & 0xFFFFFFu) == 0xFFFFFFu) {
      lastKindWord = kWhiteWord;
    } else {
      if (input != cachedInput) {
        // CMYK pixels hold black in byte 0; the transform takes it last.
        const uint32_t first = cmykMode ? (input >> 8 | input << 24) : input;
        int32_t v[4];
        for (int c = 0; c < 4; ++c) v[c] = static_cast<int32_t>((first >> (8 * c)) & 0xFF);
        cachedValues = transformed(transform, v);
        cachedInput = input;
      }
      lastValues = cachedValues;
      lastKindWord = kInkWord;
    }
    putRecord(rec, lastValues, lastKindWord);
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
