#include <gtest/gtest.h>

#include <cstdint>

#include "Device.h"
#include "PFLink.h"

namespace {

// Linear in its inputs: grid interpolation must reproduce it (to rounding).
int linearConvert(int32_t* v) {
  int32_t r = v[0], g = v[1], b = v[2], k = v[3];
  v[0] = 4080 - r;
  v[1] = (4080 - g) / 2;
  v[2] = (4080 - b + 4080 - r) / 2;
  v[3] = k;
  return 1;
}

int g_calls;
int countingConvert(int32_t* v) {
  ++g_calls;
  return linearConvert(v);
}

// Bends and overshoots the scale: results are clamped to 0..4080.
int curvedConvert(int32_t* v) {
  int32_t r = v[0], g = v[1], b = v[2];
  v[0] = (4080 - r) * (4080 - r) / 4080;
  v[1] = 5000 - g;
  v[2] = b / 3 - 100;
  v[3] = (r + g + b) / 3;
  return 1;
}

ColorProfile profileWithMode(int mode) {
  ColorProfile p;
  jColorProfileInit(&p);
  p.colorMode = mode;
  return p;
}

TEST(ColorTransform, RgbGridFollowsALinearConversion) {
  ColorProfile p = profileWithMode(0);
  g_calls = 0;
  jCMS cms = jColorCmsSetupEx(&p, countingConvert);
  ASSERT_NE(nullptr, cms);
  EXPECT_EQ(17 * 17 * 17, g_calls);
  for (int r = 0; r <= 255; r += 15)
    for (int g = 0; g <= 255; g += 17)
      for (int b = 0; b <= 255; b += 51) {
        int32_t v[4] = {r, g, b, 0};
        ASSERT_EQ(1, jPFLinkCOLtoCMYK16(cms, v));
        int32_t want[4] = {r * 16, g * 16, b * 16, 0};
        linearConvert(want);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(want[k], v[k], 1) << r << "," << g << "," << b << " out " << k;
      }
  EXPECT_EQ(1, jColorCmsRelease(cms));
}

TEST(ColorTransform, CmykGridTakesTheComplementAndBlack) {
  ColorProfile p = profileWithMode(254);
  g_calls = 0;
  jCMS cms = jColorCmsSetupEx(&p, countingConvert);
  ASSERT_NE(nullptr, cms);
  EXPECT_EQ(17 * 17 * 17 * 17, g_calls);
  int32_t v[4] = {255, 0, 0, 255};  // cyan with full black
  ASSERT_EQ(1, jPFLinkCOLtoCMYK16(cms, v));
  EXPECT_EQ(4080, v[0]);
  EXPECT_EQ(0, v[1]);
  EXPECT_EQ(2040, v[2]);
  EXPECT_EQ(4080, v[3]);
  int32_t mid[4] = {100, 50, 200, 30};
  ASSERT_EQ(1, jPFLinkCOLtoCMYK16(cms, mid));
  EXPECT_NEAR(1600, mid[0], 1);
  EXPECT_NEAR(400, mid[1], 1);
  EXPECT_NEAR(2400, mid[2], 1);
  EXPECT_NEAR(480, mid[3], 1);
  jColorCmsRelease(cms);
}

// Integer interpolation: these values are the same on every target.
TEST(ColorTransform, CurvedConversionGivesFixedClampedValues) {
  ColorProfile p = profileWithMode(0);
  jCMS cms = jColorCmsSetupEx(&p, curvedConvert);
  ASSERT_NE(nullptr, cms);
  struct Case {
    int32_t in[3];
    int32_t out[4];
  } cases[] = {
      {{0, 0, 0}, {4080, 4080, 0, 0}},
      {{255, 255, 255}, {0, 920, 1260, 4080}},
      {{37, 200, 129}, {2985, 1800, 588, 1952}},
      {{-20, 300, 128}, {4080, 920, 583, 2043}},
  };
  for (const Case& c : cases) {
    int32_t v[4] = {c.in[0], c.in[1], c.in[2], 0};
    ASSERT_EQ(1, jPFLinkCOLtoCMYK16(cms, v));
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(c.out[k], v[k]) << c.in[0] << "," << c.in[1] << "," << c.in[2] << " out " << k;
  }
  jColorCmsRelease(cms);
}

TEST(ColorTransform, RefusesMissingPartsAndForeignHandles) {
  ColorProfile p = profileWithMode(0);
  EXPECT_EQ(nullptr, jColorCmsSetupEx(&p, nullptr));
  EXPECT_EQ(nullptr, jColorCmsSetupEx(nullptr, linearConvert));
  int32_t v[4] = {};
  EXPECT_EQ(0, jPFLinkCOLtoCMYK16(nullptr, v));
  int foreign[16] = {};
  EXPECT_EQ(0, jPFLinkCOLtoCMYK16(reinterpret_cast<jCMS>(foreign), v));
  EXPECT_EQ(0, jColorCmsRelease(nullptr));
}

}  // namespace
