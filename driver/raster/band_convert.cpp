// Band colour conversion. Pixels of the other colour space are turned into
// the mode's own space by the colour library's simple conversions and
// written back, then paper white is told apart and every other pixel goes
// through the colour transform. A run of one colour costs one transform
// call: the last input and its result are kept for the rest of the call.
#include "driver/raster/band_convert.h"

#include <bit>
#include <cstring>

#include "PFLink.h"

namespace rx3 {
namespace {

constexpr int kRenderedBytes = 8;
constexpr int kKindByte = 7;
static_assert(std::endian::native == std::endian::little, "pixel keys are read as little-endian words");

struct ConversionCache {
  bool filled = false;
  uint8_t input[4] = {};
  int16_t values[4] = {};
};

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

void setRecord(ConvertedPixel* out, const int16_t values[4], int16_t kind) {
  std::memcpy(out->values, values, sizeof out->values);
  out->kind = kind;
  out->drawn = kind == kPixelNothing ? 0 : 1;
}

// values: the four numbers handed to the transform for this pixel.
void convertInk(jCMS transform, const uint8_t* px, const int32_t values[4], ConversionCache* cache,
                ConvertedPixel* out) {
  if (!cache->filled || std::memcmp(cache->input, px, 4) != 0) {
    int32_t v[4] = {values[0], values[1], values[2], values[3]};
    jPFLinkCOLtoCMYK16(transform, v);
    for (int i = 0; i < 4; ++i) cache->values[i] = static_cast<int16_t>(v[i]);  // low 16 bits
    std::memcpy(cache->input, px, 4);
    cache->filled = true;
  }
  setRecord(out, cache->values, kPixelInk);
}

}  // namespace

void convertBand(jCMS transform, int colorMode, uint8_t* rendered, ConvertedPixel* out, int count) {
  static const int16_t kZero[4] = {0, 0, 0, 0};
  ConversionCache cache;
  // A pixel whose bytes 0..3 and kind equal those of the pixel before it
  // gets the same record; only a pixel already in the mode's own colour
  // space is taken this way, as one of the other space must be rewritten.
  constexpr uint64_t kKeyBytes = 0xFF000000FFFFFFFFull;
  const uint8_t ownKind = colorMode == kColorModeCmyk ? kRenderedCmyk : kRenderedRgb;
  bool haveLast = false;
  ConvertedPixel last = {};
  uint64_t lastKey = 0;
  for (int i = 0; i < count; ++i) {
    uint8_t* px = rendered + static_cast<size_t>(i) * kRenderedBytes;
    ConvertedPixel* rec = out + i;
    uint64_t key;
    std::memcpy(&key, px, sizeof key);
    key &= kKeyBytes;
    if (haveLast && key == lastKey) {
      *rec = last;  // from a register: no wait on the store just made
      continue;
    }
    haveLast = px[kKindByte] == ownKind;
    lastKey = key;
    if (colorMode == kColorModeCmyk) {
      if (px[kKindByte] == kRenderedRgb) rgbPixelToCmyk(px);
      if (px[kKindByte] != kRenderedCmyk) {
        setRecord(rec, kZero, kPixelNothing);
      } else if ((px[0] | px[1] | px[2] | px[3]) == 0) {
        setRecord(rec, kZero, kPixelWhite);
      } else {
        const int32_t values[4] = {px[1], px[2], px[3], px[0]};
        convertInk(transform, px, values, &cache, rec);
      }
    } else {
      if (px[kKindByte] == kRenderedCmyk) cmykPixelToRgb(px);
      if (px[kKindByte] != kRenderedRgb) {
        setRecord(rec, kZero, kPixelNothing);
      } else if (px[0] == 255 && px[1] == 255 && px[2] == 255) {
        setRecord(rec, kZero, kPixelWhite);
      } else {
        const int32_t values[4] = {px[0], px[1], px[2], px[3]};
        convertInk(transform, px, values, &cache, rec);
      }
    }
    last = *rec;
  }
}

}  // namespace rx3
