#include "driver/raster/band_convert.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "Device.h"
#include "PFLink.h"
#include "driver/machines/exports.h"

namespace {

using rx3::ConvertedPixel;
using Pixel = std::array<uint8_t, 8>;

Pixel rgb(int r, int g, int b, int byte3 = 0) {
  return {static_cast<uint8_t>(r),
          static_cast<uint8_t>(g),
          static_cast<uint8_t>(b),
          static_cast<uint8_t>(byte3),
          0,
          0,
          0,
          0xFF};
}
Pixel cmyk(int c, int m, int y, int k) {
  return {static_cast<uint8_t>(k),
          static_cast<uint8_t>(c),
          static_cast<uint8_t>(m),
          static_cast<uint8_t>(y),
          0,
          0,
          0,
          0xFE};
}
Pixel nothing(uint8_t kind = 0) {
  return {9, 9, 9, 9, 0, 0, 0, kind};
}

class BandConvert : public ::testing::Test {
 protected:
  static jCMS makeTransform(int colorMode) {
    ColorProfile profile;
    jColorProfileInit(&profile);
    profile.colorMode = colorMode;
    return jColorCmsSetupEx(&profile, RgbToCmykFunc16);
  }
  void SetUp() override {
    rgbTransform = makeTransform(0);
    cmykTransform = makeTransform(rx3::kColorModeCmyk);
    ASSERT_NE(nullptr, rgbTransform);
    ASSERT_NE(nullptr, cmykTransform);
  }
  void TearDown() override {
    jColorCmsRelease(rgbTransform);
    jColorCmsRelease(cmykTransform);
  }

  std::vector<ConvertedPixel> convert(int mode, std::vector<Pixel>& pixels) {
    std::vector<ConvertedPixel> out(pixels.size());
    std::memset(out.data(), 0x5A, out.size() * sizeof(ConvertedPixel));
    rx3::convertBand(mode == rx3::kColorModeCmyk ? cmykTransform : rgbTransform, mode,
                     reinterpret_cast<uint8_t*>(pixels.data()), out.data(), static_cast<int>(pixels.size()));
    return out;
  }

  std::array<int16_t, 4> direct(jCMS transform, int a, int b, int c, int d) {
    int32_t v[4] = {a, b, c, d};
    jPFLinkCOLtoCMYK16(transform, v);
    return {static_cast<int16_t>(v[0]), static_cast<int16_t>(v[1]), static_cast<int16_t>(v[2]),
            static_cast<int16_t>(v[3])};
  }

  static std::array<int16_t, 4> values(const ConvertedPixel& p) {
    return {p.values[0], p.values[1], p.values[2], p.values[3]};
  }

  jCMS rgbTransform = nullptr;
  jCMS cmykTransform = nullptr;
};

TEST_F(BandConvert, KindsOfRecords) {
  for (int mode : {0, rx3::kColorModeCmyk}) {
    std::vector<Pixel> pixels = {rgb(255, 255, 255), cmyk(0, 0, 0, 0), nothing(), nothing(0x7F), rgb(10, 20, 30)};
    const std::vector<ConvertedPixel> out = convert(mode, pixels);
    SCOPED_TRACE(mode);
    EXPECT_EQ(rx3::kPixelWhite, out[0].kind);
    EXPECT_EQ(1, out[0].drawn);
    EXPECT_EQ(rx3::kPixelWhite, out[1].kind);  // both whites, whatever the mode
    for (int i : {2, 3}) {
      EXPECT_EQ(rx3::kPixelNothing, out[i].kind);
      EXPECT_EQ(0, out[i].drawn);
      EXPECT_EQ((std::array<int16_t, 4>{0, 0, 0, 0}), values(out[i]));
    }
    EXPECT_EQ(rx3::kPixelInk, out[4].kind);
    EXPECT_EQ(1, out[4].drawn);
    EXPECT_EQ((std::array<int16_t, 4>{0, 0, 0, 0}), values(out[0]));
  }
}

TEST_F(BandConvert, RgbModeTurnsCmykPixelsIntoRgbInPlace) {
  std::vector<Pixel> pixels = {cmyk(10, 200, 30, 40), rgb(1, 2, 3, 77)};
  const std::vector<ConvertedPixel> out = convert(0, pixels);
  const uint32_t c = jColorCMYKtoRGB(10, 200, 30, 40);
  EXPECT_EQ(rgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 0), pixels[0]);
  EXPECT_EQ(direct(rgbTransform, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 0), values(out[0]));
  // An RGB pixel's byte 3 goes to the transform as it is.
  EXPECT_EQ(direct(rgbTransform, 1, 2, 3, 77), values(out[1]));
}

TEST_F(BandConvert, CmykModeTurnsRgbPixelsIntoCmykInPlace) {
  std::vector<Pixel> pixels = {rgb(200, 100, 50), cmyk(11, 22, 33, 44)};
  const std::vector<ConvertedPixel> out = convert(rx3::kColorModeCmyk, pixels);
  const uint32_t c = jColorRGBtoCMYK(200, 100, 50);
  EXPECT_EQ(cmyk(c >> 24, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF), pixels[0]);
  // Handed over as cyan, magenta, yellow, black.
  EXPECT_EQ(direct(cmykTransform, 11, 22, 33, 44), values(out[1]));
}

TEST_F(BandConvert, RunsReuseOnlyTheirOwnResult) {
  std::vector<Pixel> pixels = {rgb(10, 20, 30),    rgb(10, 20, 30), rgb(200, 20, 30),
                               rgb(255, 255, 255), rgb(10, 20, 30), rgb(10, 20, 31)};
  const std::vector<ConvertedPixel> out = convert(0, pixels);
  const auto a = direct(rgbTransform, 10, 20, 30, 0);
  EXPECT_EQ(a, values(out[0]));
  EXPECT_EQ(a, values(out[1]));
  EXPECT_EQ(direct(rgbTransform, 200, 20, 30, 0), values(out[2]));
  EXPECT_EQ(a, values(out[4]));
  EXPECT_EQ(direct(rgbTransform, 10, 20, 31, 0), values(out[5]));
}

// A band of pixels drawn from a few colours of every kind, so that runs,
// returns to an earlier colour, rewritten pixels and pixels of one byte
// pattern but another kind meet: each record is the one its pixel gets
// alone, in both modes.
TEST_F(BandConvert, EveryRecordIsThePixelsOwnInAMixedBand) {
  const Pixel kPalette[] = {rgb(10, 20, 30),  rgb(10, 20, 31, 5), rgb(255, 255, 255, 9),
                            cmyk(1, 2, 3, 4), cmyk(0, 0, 0, 0),   cmyk(200, 0, 90, 0),
                            nothing(),        nothing(0x7F),      rgb(4, 1, 2, 3),  // the bytes of cmyk(1, 2, 3, 4)
                            rgb(9, 9, 9, 9)};                                       // the bytes of nothing()
  for (int mode : {0, rx3::kColorModeCmyk}) {
    const bool cmykMode = mode == rx3::kColorModeCmyk;
    std::vector<Pixel> pixels;
    uint32_t seed = 7;
    for (int i = 0; i < 400; ++i) {
      seed = seed * 1664525u + 1013904223u;
      pixels.push_back(kPalette[(seed >> 24) % (sizeof kPalette / sizeof kPalette[0])]);
    }
    std::vector<Pixel> want = pixels;
    const std::vector<ConvertedPixel> out = convert(mode, pixels);
    for (size_t i = 0; i < pixels.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " pixel " << i);
      std::vector<Pixel> alone = {want[i]};
      const ConvertedPixel single = convert(mode, alone)[0];
      EXPECT_EQ(alone[0], pixels[i]);
      EXPECT_EQ(single.kind, out[i].kind);
      EXPECT_EQ(single.drawn, out[i].drawn);
      EXPECT_EQ(values(single), values(out[i]));
      if (single.kind == rx3::kPixelInk) {
        const Pixel& p = alone[0];
        EXPECT_EQ(
            cmykMode ? direct(cmykTransform, p[1], p[2], p[3], p[0]) : direct(rgbTransform, p[0], p[1], p[2], p[3]),
            values(out[i]));
      }
    }
  }
}

}  // namespace
