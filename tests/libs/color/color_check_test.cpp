// Colour management end to end: the chart's patches printed through the
// drawing library and the plug-in, decoded, against LittleCMS's own answer
// with the same profiles and intent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Draw.h"
#include "color_bench.h"
#include "libs/press/icc_writer.h"

namespace color_test {
namespace {

struct Score {
  double mean = 0, worst = 0, inGamutMean = 0;
  int worstPatch = -1, inGamut = 0;
};

// Printed CMYK against LittleCMS's CMYK, both seen through the CMYK
// profile's colorimetric table.
Score score(const std::vector<Rgb>& patches, const std::vector<Cmyk>& printed, const Reference& ref) {
  Score s;
  for (size_t i = 0; i < patches.size(); ++i) {
    const cmsCIELab want = ref.lab(ref.cmyk(patches[i]));
    const cmsCIELab got = ref.lab(printed[i]);
    const double de = cmsCIE2000DeltaE(&want, &got, 1, 1, 1);
    s.mean += de / patches.size();
    if (de > s.worst) s.worst = de, s.worstPatch = static_cast<int>(i);
    if (ref.inGamut(patches[i])) s.inGamutMean += de, ++s.inGamut;
  }
  if (s.inGamut) s.inGamutMean /= s.inGamut;
  return s;
}

void report(const char* what, const std::vector<Rgb>& patches, const Score& s) {
  const Rgb& w = patches[static_cast<size_t>(std::max(s.worstPatch, 0))];
  std::printf("[colour] %s: mean dE2000 %.2f over %zu patches, in gamut %.2f over %d, worst %.2f at (%d,%d,%d)\n", what,
              s.mean, patches.size(), s.inGamutMean, s.inGamut, s.worst, w.r, w.g, w.b);
}

using ColorCheck = Bench;

TEST_F(ColorCheck, ChartPrintsAsLittleCmsSaysWithinTheGoal) {
  const std::vector<Rgb> patches = chartPatches();
  ASSERT_EQ(0, jCol2SetupProfile("", "", 0));
  const std::vector<Cmyk> driver = printPatches(patches, 9);
  ASSERT_EQ(patches.size(), driver.size());
  for (int intent : {0, 1}) {
    const Reference ref(srgb, press, intent);
    report(intent ? "driver conversion vs relative colorimetric" : "driver conversion vs perceptual", patches,
           score(patches, driver, ref));
    ASSERT_EQ(1, jCol2SetupProfile(srgb.c_str(), press.c_str(), intent));
    const std::vector<Cmyk> printed = printPatches(patches, 9);
    ASSERT_EQ(patches.size(), printed.size());
    const Score s = score(patches, printed, ref);
    report(intent ? "profiles, relative colorimetric" : "profiles, perceptual", patches, s);
    EXPECT_GT(s.inGamut, 10);
    EXPECT_LT(s.inGamutMean, 2.0) << "intent " << intent;
    EXPECT_LT(s.worst, 6.0) << "intent " << intent;
  }
  jCol2SetupProfile("", "", 0);
}

// The decoder's composite shows each patch as the CMYK profile says its inks
// print: near the source where the press reaches it, the press's own
// duller colour where it does not.
TEST_F(ColorCheck, TheDecodersCompositeShowsPrintedColour) {
  const std::vector<Rgb> patches = chartPatches();
  const Reference ref(srgb, press, 1);
  ASSERT_EQ(1, jCol2SetupProfile(srgb.c_str(), press.c_str(), 1));
  const std::vector<Cmyk> printed = printPatches(patches, 9);
  jCol2SetupProfile("", "", 0);
  ASSERT_EQ(patches.size(), patchComposites.size());
  double asPrinted = 0, inGamutToSource = 0, worstAsPrinted = 0, outOfGamutToSource = 0;
  int inGamut = 0;
  for (size_t i = 0; i < patches.size(); ++i) {
    const cmsCIELab shown = ref.sourceLab(patchComposites[i]);
    const cmsCIELab want = ref.sourceLab(ref.onScreen(printed[i])), source = ref.sourceLab(patches[i]);
    const double de = cmsCIE2000DeltaE(&shown, &want, 1, 1, 1);
    asPrinted += de / patches.size();
    worstAsPrinted = std::max(worstAsPrinted, de);
    if (ref.inGamut(patches[i])) {
      inGamutToSource += cmsCIE2000DeltaE(&shown, &source, 1, 1, 1);
      ++inGamut;
    }
  }
  for (const Rgb& far : {Rgb{0, 0, 255}, Rgb{0, 255, 0}, Rgb{255, 0, 255}}) {
    const size_t i =
        static_cast<size_t>(std::find_if(patches.begin(), patches.end(),
                                         [&](const Rgb& p) { return p.r == far.r && p.g == far.g && p.b == far.b; }) -
                            patches.begin());
    const cmsCIELab shown = ref.sourceLab(patchComposites[i]), source = ref.sourceLab(patches[i]);
    outOfGamutToSource = std::max(outOfGamutToSource, cmsCIE2000DeltaE(&shown, &source, 1, 1, 1));
    EXPECT_GT(cmsCIE2000DeltaE(&shown, &source, 1, 1, 1), 8.0) << int(far.r) << "," << int(far.g) << "," << int(far.b);
  }
  inGamutToSource /= std::max(inGamut, 1);
  std::printf(
      "[colour] decoder's composite: mean dE2000 %.2f (worst %.2f) from the profile's view of the print; "
      "in-gamut patches %.2f from the source\n",
      asPrinted, worstAsPrinted, inGamutToSource);
  EXPECT_LT(asPrinted, 1.0);
  EXPECT_LT(worstAsPrinted, 4.0);
  EXPECT_LT(inGamutToSource, 3.0);
}

// Another RGB profile (wide-gamut primaries, gamma 2.2) makes a second pair.
std::string writeWideRgb(const testing_support::ScratchFolder& folder) {
  const cmsCIExyY white{0.3127, 0.3290, 1.0};
  const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
  cmsToneCurve* curves[3] = {gamma, gamma, gamma};
  cmsHPROFILE p = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsSetProfileVersion(p, 2.1);
  const std::string path = folder.join("wide.icm");
  cmsSaveProfileToFile(p, path.c_str());
  cmsCloseProfile(p);
  cmsFreeToneCurve(gamma);
  return path;
}

TEST_F(ColorCheck, EachPairAndIntentPrintsTheCmykLittleCmsGives) {
  const std::vector<Rgb> patches = {{80, 150, 60}, {200, 60, 20}, {0, 0, 255}, {128, 128, 128}, {240, 200, 40}};
  const std::string wide = writeWideRgb(profiles);
  struct Setting {
    std::string rgb;
    int intent;
  } settings[] = {{srgb, 0}, {srgb, 1}, {wide, 0}, {wide, 1}};
  std::vector<std::vector<Cmyk>> prints;
  for (const Setting& s : settings) {
    ASSERT_EQ(1, jCol2SetupProfile(s.rgb.c_str(), press.c_str(), s.intent));
    const Reference ref(s.rgb, press, s.intent);
    prints.push_back(printPatches(patches, 5));
    ASSERT_EQ(patches.size(), prints.back().size());
    for (size_t i = 0; i < patches.size(); ++i) {
      const Cmyk want = ref.cmyk(patches[i]), got = prints.back()[i];
      // Percent: grid interpolation (steep where the separation adds black
      // to reach a colour near the press's edge), halftoning and the light
      // inks' rounding.
      const double near = 3.0;
      EXPECT_NEAR(want.c, got.c, near) << s.rgb << " intent " << s.intent << " patch " << i;
      EXPECT_NEAR(want.m, got.m, near) << s.rgb << " intent " << s.intent << " patch " << i;
      EXPECT_NEAR(want.y, got.y, near) << s.rgb << " intent " << s.intent << " patch " << i;
      EXPECT_NEAR(want.k, got.k, near) << s.rgb << " intent " << s.intent << " patch " << i;
    }
  }
  // Every two settings differ on paper, by more than the tolerance, in some
  // patch.
  for (size_t a = 0; a < prints.size(); ++a)
    for (size_t b = a + 1; b < prints.size(); ++b) {
      double moved = 0;
      for (size_t i = 0; i < patches.size(); ++i) {
        const Cmyk x = prints[a][i], y = prints[b][i];
        moved =
            std::max(moved, std::fabs(x.c - y.c) + std::fabs(x.m - y.m) + std::fabs(x.y - y.y) + std::fabs(x.k - y.k));
      }
      EXPECT_GT(moved, 4.0) << "settings " << a << " and " << b;
    }
  jCol2SetupProfile("", "", 0);
}

TEST_F(ColorCheck, WithoutProfilesTheDriversConversionPrintsTheSameBytes) {
  const std::vector<Rgb> patches = chartPatches();
  std::vector<uint8_t> pixels;
  for (const Rgb& p : patches) pixels.insert(pixels.end(), {p.r, p.g, p.b});
  ASSERT_EQ(0, jCol2SetupProfile("", "", 0));
  const escp::DotPage before = print(pixels, static_cast<int>(patches.size()), 1, 40, 4);
  ASSERT_EQ(1, jCol2SetupProfile(srgb.c_str(), press.c_str(), 0));
  const escp::DotPage managed = print(pixels, static_cast<int>(patches.size()), 1, 40, 4);
  EXPECT_EQ(0, jCol2SetupProfile("", "", 0)) << "no pair is accepted, and colour management ends";
  const escp::DotPage after = print(pixels, static_cast<int>(patches.size()), 1, 40, 4);
  ASSERT_GT(before.width, 0);
  for (int plane = 0; plane < escp::kPlanes; ++plane) {
    EXPECT_EQ(before.ink[plane], after.ink[plane]) << "plane " << plane;
  }
  bool differs = false;
  for (int plane = 0; plane < escp::kPlanes; ++plane) differs = differs || before.ink[plane] != managed.ink[plane];
  EXPECT_TRUE(differs) << "the profiles were used in between";
}

}  // namespace
}  // namespace color_test

namespace color_test {
namespace {

// The default CMYK profile with every lookup table's data wiped: its header
// and tag table are sound, but no transform can be built from it.
std::string writeWipedProfile(const testing_support::ScratchFolder& folder) {
  std::vector<unsigned char> bytes = icc::cmykOutputProfile();
  auto be32 = [&](size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
  };
  for (uint32_t i = 0, n = be32(128); i < n; ++i) {
    const size_t entry = 132 + 12 * i;
    const std::string sig(bytes.begin() + entry, bytes.begin() + entry + 4);
    if (sig[0] == 'A' || sig[0] == 'B')
      std::fill(bytes.begin() + be32(entry + 4), bytes.begin() + be32(entry + 4) + be32(entry + 8), 0);
  }
  const std::string path = folder.join("wiped.icc");
  EXPECT_TRUE(icc::writeProfile(path.c_str(), bytes));
  return path;
}

TEST_F(ColorCheck, AProfileNoTransformComesFromIsRefusedAndThePairInUseStays) {
  const std::vector<Rgb> patches = {{80, 150, 60}, {200, 60, 20}, {240, 200, 40}};
  ASSERT_EQ(1, jCol2SetupProfile(srgb.c_str(), press.c_str(), 1));
  const std::vector<Cmyk> before = printPatches(patches, 3);
  EXPECT_EQ(0, jCol2SetupProfile(srgb.c_str(), writeWipedProfile(profiles).c_str(), 0));
  const std::vector<Cmyk> after = printPatches(patches, 3);
  ASSERT_EQ(patches.size(), after.size());
  for (size_t i = 0; i < patches.size(); ++i) {
    EXPECT_EQ(before[i].c, after[i].c) << i;
    EXPECT_EQ(before[i].k, after[i].k) << i;
  }
  jCol2SetupProfile("", "", 0);
}

}  // namespace
}  // namespace color_test
