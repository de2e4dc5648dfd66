// The separation within each paper's total ink: every colour fits, greys
// darken smoothly (black never falls back, no colour ink dips and comes
// back), paper white takes no ink, and the profiles made of it say what they
// are.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <cmath>

#include "libs/press/icc_writer.h"
#include "libs/press/press_separation.h"

namespace press {
namespace {

constexpr double kLimits[] = {1.2, 1.57, 1.8, kPressTotalInk};

double total(const Separation& s) {
  return s.cmyk[0] + s.cmyk[1] + s.cmyk[2] + s.cmyk[3];
}

TEST(PressSeparation, EveryColourFitsTheLimitInBothIntents) {
  for (double limit : kLimits) {
    const Separator separator(limit);
    for (double L : {5.0, 30.0, 55.0, 80.0})
      for (double a = -100; a <= 100; a += 50)
        for (double b = -100; b <= 100; b += 50) {
          const Lab lab{L, a, b};
          EXPECT_LE(total(separator.colorimetric(lab)), limit + 1e-9) << limit << ": " << L << " " << a << " " << b;
          EXPECT_LE(total(separator.perceptual(lab)), limit + 1e-9) << limit << ": " << L << " " << a << " " << b;
        }
  }
}

// Along the grey axis, from paper white to the darkest grey: white takes no
// ink, black never falls, and a colour ink that has begun to fall does not
// rise again by more than the solver's noise (a V would print a band).
TEST(PressSeparation, GreysDarkenSmoothlyFromBareWhiteToTheDarkest) {
  for (double limit : kLimits) {
    const Separator separator(limit);
    const Separation white = separator.colorimetric({100, 0, 0});
    EXPECT_EQ(0, total(white)) << limit;
    double peak[3] = {}, trough[3] = {1, 1, 1}, black = 0;
    bool falling[3] = {};
    for (double L = 99.5; L >= separator.darkestLightness(); L -= 0.5) {
      const Separation s = separator.colorimetric({L, 0, 0});
      EXPECT_NEAR(L, printedLab(s.cmyk).L, 0.5) << limit << " at L " << L;
      EXPECT_GE(s.cmyk[3], black - 1e-3) << limit << " at L " << L;
      black = s.cmyk[3];
      for (int i = 0; i < 3; ++i) {
        peak[i] = std::max(peak[i], s.cmyk[i]);
        if (peak[i] - s.cmyk[i] > 0.005) falling[i] = true;
        if (!falling[i]) continue;
        trough[i] = std::min(trough[i], s.cmyk[i]);
        EXPECT_LE(s.cmyk[i] - trough[i], limit < kPressTotalInk ? 0.02 : 0.07)
            << limit << " ink " << i << " at L " << L;
      }
    }
  }
}

// A lower limit prints no darker and its darkest grey uses all of it.
TEST(PressSeparation, TheDarkestGreyFollowsTheLimit) {
  double previous = 0;
  for (double limit : kLimits) {
    const Separator separator(limit);
    EXPECT_LT(separator.darkestLightness(), previous == 0 ? 100 : previous) << limit;
    previous = separator.darkestLightness();
    EXPECT_NEAR(limit, total(separator.colorimetric({0, 0, 0})), 0.02) << limit;
  }
}

TEST(PressProfiles, APapersProfileSaysItsLimitAndAShopsSaysNothing) {
  const std::vector<unsigned char> paper = icc::cmykOutputProfile(157);
  ASSERT_FALSE(paper.empty());
  EXPECT_EQ(157, icc::profileTotalInk(paper.data(), paper.size()));
  const std::vector<unsigned char> press = icc::cmykOutputProfile();
  EXPECT_EQ(icc::kDefaultTotalInk, icc::profileTotalInk(press.data(), press.size()));
  std::vector<unsigned char> shops = paper;
  shops[48] ^= 0xFF;  // another maker in the header
  EXPECT_EQ(0, icc::profileTotalInk(shops.data(), shops.size()));
  const std::vector<unsigned char> rgb = icc::rgbDisplayProfile();
  EXPECT_EQ(0, icc::profileTotalInk(rgb.data(), rgb.size()));
  const unsigned char junk[16] = {};
  EXPECT_EQ(0, icc::profileTotalInk(junk, sizeof junk));
}

// Through LittleCMS, as a print uses the profile: sRGB white to no ink, the
// greys next to it to next to none, and no colour over the paper's limit.
TEST(PressProfiles, APapersProfileKeepsWhiteBareAndEveryColourWithinItsLimit) {
  const std::vector<unsigned char> bytes = icc::cmykOutputProfile(120);
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHPROFILE paper = cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size()));
  ASSERT_TRUE(paper);
  for (int intent : {INTENT_PERCEPTUAL, INTENT_RELATIVE_COLORIMETRIC}) {
    cmsHTRANSFORM t = cmsCreateTransform(srgb, TYPE_RGB_8, paper, TYPE_CMYK_DBL, intent, cmsFLAGS_NOOPTIMIZE);
    ASSERT_TRUE(t);
    double most = 0;
    for (int r = 0; r <= 255; r += 17)
      for (int g = 0; g <= 255; g += 17)
        for (int b = 0; b <= 255; b += 17) {
          const unsigned char rgb[3] = {uint8_t(r), uint8_t(g), uint8_t(b)};
          double cmyk[4];
          cmsDoTransform(t, rgb, cmyk, 1);
          most = std::max(most, cmyk[0] + cmyk[1] + cmyk[2] + cmyk[3]);
        }
    EXPECT_LE(most, 120.0) << intent;
    for (int grey : {255, 254}) {
      const unsigned char rgb[3] = {uint8_t(grey), uint8_t(grey), uint8_t(grey)};
      double cmyk[4];
      cmsDoTransform(t, rgb, cmyk, 1);
      EXPECT_LE(cmyk[0] + cmyk[1] + cmyk[2] + cmyk[3], grey == 255 ? 0.05 : 1.1) << intent << " grey " << grey;
    }
    cmsDeleteTransform(t);
  }
  cmsCloseProfile(paper);
  cmsCloseProfile(srgb);
}

}  // namespace
}  // namespace press
