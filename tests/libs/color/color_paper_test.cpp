// Each paper's colour with the default profile pair: at the built-in
// papers' limits and above the press's own, the driver's conversion against
// LittleCMS through the paper's profile, what the driver's total ink limit
// still has to cut, white paper kept white, and the decoded print against
// the source.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "Device.h"
#include "Draw.h"
#include "PFLink.h"
#include "color_bench.h"
#include "libs/press/icc_writer.h"

namespace color_test {
namespace {

int noConversion(int32_t*) {
  return 1;
}

// The driver's total ink limit on its 0..4080 scale, as a document sets it up.
int32_t driverLimit(int limit) {
  return (limit * 255 + 50) / 100 * 16;
}

// The colours the conversion is judged on: the chart, a grid of the RGB cube
// and every pixel of a reduced photograph.
std::vector<Rgb> conversionSamples() {
  std::vector<Rgb> samples = chartPatches();
  for (int r = 0; r <= 8; ++r)
    for (int g = 0; g <= 8; ++g)
      for (int b = 0; b <= 8; ++b)
        samples.push_back(
            {uint8_t(std::min(255, r * 32)), uint8_t(std::min(255, g * 32)), uint8_t(std::min(255, b * 32))});
  const Picture p = photograph("LadyBird.jpg", 64);
  for (size_t i = 0; i < p.rgb.size(); i += 3) samples.push_back({p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]});
  return samples;
}

struct Conversion {
  double mean = 0, p95 = 0, worst = 0;  // dE2000, driver against LittleCMS
  double cutShare = 0;                  // of the samples over the driver's limit
  int32_t largestCut = 0;               // most over the limit, 0..4080 steps
  double white = 0, nearWhite = 0;      // total ink of 255 and 254 greys, percent
};

Conversion convert(const std::vector<Rgb>& samples, int limit, const Reference& ref) {
  ColorProfile profile;
  jColorProfileInit(&profile);
  profile.inkLimit = limit;
  jCMS transform = jColorCmsSetupEx(&profile, noConversion);
  Conversion c;
  if (!transform) {
    ADD_FAILURE() << "no transform at " << limit << " %";
    return c;
  }
  std::vector<double> errors;
  int cut = 0;
  for (const Rgb& rgb : samples) {
    int32_t v[4] = {rgb.r, rgb.g, rgb.b, 0};
    jPFLinkCOLtoCMYK16(transform, v);
    const Cmyk driver{v[0] / 40.8, v[1] / 40.8, v[2] / 40.8, v[3] / 40.8};
    const cmsCIELab got = ref.lab(driver), want = ref.lab(ref.cmyk(rgb));
    errors.push_back(cmsCIE2000DeltaE(&want, &got, 1, 1, 1));
    const int32_t over = v[0] + v[1] + v[2] + v[3] - driverLimit(limit);
    if (over > 0) ++cut;
    c.largestCut = std::max(c.largestCut, over);
  }
  for (int grey : {255, 254}) {
    int32_t v[4] = {grey, grey, grey, 0};
    jPFLinkCOLtoCMYK16(transform, v);
    (grey == 255 ? c.white : c.nearWhite) = (v[0] + v[1] + v[2] + v[3]) / 40.8;
  }
  jColorCmsRelease(transform);
  std::sort(errors.begin(), errors.end());
  for (double e : errors) c.mean += e / errors.size();
  c.p95 = errors[errors.size() * 95 / 100];
  c.worst = errors.back();
  c.cutShare = double(cut) / samples.size();
  return c;
}

using ColorPaper = Bench;

TEST_F(ColorPaper, TheConversionFitsEachPapersLimitAsLittleCmsSays) {
  const std::vector<Rgb> samples = conversionSamples();
  for (int intent : {0, 1}) {
    ASSERT_EQ(1, jCol2SetupProfile(srgb.c_str(), press.c_str(), intent));
    for (int limit : kPaperLimits) {
      const Reference ref(srgb, paperProfile(limit), intent);
      const Conversion c = convert(samples, limit, ref);
      std::printf(
          "[colour] %d %%, %s: driver vs LittleCMS dE2000 mean %.2f p95 %.2f max %.2f over %zu colours; the limit "
          "cuts %.2f %% of them (most %d steps); white %.1f %%, 254 grey %.2f %% ink\n",
          limit, intent ? "relative colorimetric" : "perceptual", c.mean, c.p95, c.worst, samples.size(),
          100 * c.cutShare, c.largestCut, c.white, c.nearWhite);
      EXPECT_LE(c.mean, 0.5) << limit << " % intent " << intent;
      EXPECT_LE(c.p95, 1.0) << limit << " % intent " << intent;
      EXPECT_LT(c.cutShare, 0.01) << limit << " % intent " << intent;
      EXPECT_EQ(0, c.white) << limit << " % intent " << intent;
      // One rounding step of the driver's scale per ink above 1 %: sRGB 254 is
      // L 99.65, which takes 1.0 % of ink.
      EXPECT_LE(c.nearWhite, 1.0 + 3 / 40.8) << limit << " % intent " << intent;
    }
  }
  jCol2SetupProfile("", "", 0);
}

// A CMYK profile the shop brought is the one its prints go through, on
// every paper: no press profile is made beside it, and what it puts over a
// paper's limit is left to the driver's limit.
TEST_F(ColorPaper, AShopsOwnCmykProfileIsUsedAsTheShopSetIt) {
  std::vector<unsigned char> bytes = icc::cmykOutputProfile();
  bytes[48] ^= 0xFF;  // another maker's profile
  const std::string shops = profiles.join("shop.icc");
  ASSERT_TRUE(icc::writeProfile(shops.c_str(), bytes));
  ASSERT_EQ(1, jCol2SetupProfile(srgb.c_str(), shops.c_str(), 1));
  const Reference ref(srgb, shops, 1);
  const Conversion c = convert(conversionSamples(), 120, ref);
  jCol2SetupProfile("", "", 0);
  std::printf("[colour] a shop's own profile at 120 %%: driver vs LittleCMS dE2000 mean %.2f; the limit cuts %.1f %%\n",
              c.mean, 100 * c.cutShare);
  EXPECT_LE(c.mean, 0.5);
  EXPECT_GT(c.cutShare, 0.05) << "its own 350 % stays";
  char name[64];
  ASSERT_TRUE(icc::paperProfileName(name, sizeof name, 120));
  EXPECT_TRUE(testing_support::readBytes(profiles.join(name)).empty()) << "no press profile made for it";
}

// Printed, decoded and seen in plain CIELAB: the chart's patches that the
// paper prints land on the source's colour; deep darks keep their depth.
TEST_F(ColorPaper, PatchesThePaperPrintsLandOnTheSource) {
  std::vector<Rgb> patches = chartPatches();
  const Rgb darkRed{120, 20, 20}, darkGreen{20, 80, 30};
  patches.push_back(darkRed);
  patches.push_back(darkGreen);
  const size_t red = patches.size() - 2, green = patches.size() - 1;
  ASSERT_EQ(1, jCol2SetupProfile(srgb.c_str(), press.c_str(), 1));
  const Reference pressOwn(srgb, press, 1);
  for (int limit : kPaperLimits) {
    inkLimit = limit;
    const Reference ref(srgb, paperProfile(limit), 1);
    ASSERT_EQ(patches.size(), printPatches(patches, 9).size());
    double inPaper = 0, inPress = 0;
    int paperCount = 0, pressCount = 0;
    for (size_t i = 0; i < patches.size(); ++i) {
      const cmsCIELab source = ref.sourceLab(patches[i]);
      const double de = cmsCIE2000DeltaE(&source, &patchLabs[i], 1, 1, 1);
      if (ref.inGamut(patches[i])) inPaper += de, ++paperCount;
      if (pressOwn.inGamut(patches[i])) inPress += de, ++pressCount;
    }
    inPaper /= std::max(paperCount, 1);
    inPress /= std::max(pressCount, 1);
    double deep[2], lightness[2];
    for (size_t which : {red, green}) {
      const cmsCIELab source = ref.sourceLab(patches[which]);
      deep[which - red] = cmsCIE2000DeltaE(&source, &patchLabs[which], 1, 1, 1);
      lightness[which - red] = patchLabs[which].L - source.L;
    }
    std::printf(
        "[colour] %d %%, relative colorimetric, decoded print against the source: dE2000 %.2f over the %d patches in "
        "the paper's gamut, %.2f over the %d in the press's; dark red %.1f (L %+.1f), dark green %.1f (L %+.1f)\n",
        limit, inPaper, paperCount, inPress, pressCount, deep[0], lightness[0], deep[1], lightness[1]);
    EXPECT_GT(paperCount, 10) << limit;
    EXPECT_LE(inPaper, 2.0) << limit << " %";
    // Where the press reaches them, deep darks keep their depth; within a
    // paper's limit they lose chroma, never their hue's darkness by more than
    // the paper's own darkest allows.
    for (int i = 0; i < 2; ++i) {
      EXPECT_LE(deep[i], limit >= 360 ? 6.0 : 22.0) << (i ? "dark green" : "dark red") << " at " << limit;
      EXPECT_LE(lightness[i], limit >= 360 ? 6.0 : 11.0) << (i ? "dark green" : "dark red") << " at " << limit;
    }
  }
  jCol2SetupProfile("", "", 0);
}

}  // namespace
}  // namespace color_test
