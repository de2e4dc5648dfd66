// A real photograph printed with and without the profiles: the decoded
// print, seen through the CMYK profile as a screen shows printed colour
// (paper white, the press's black compensated), keeps the saturation that
// LittleCMS's own transform keeps, and the decoder's composite shows it so.
// The photograph is Debian's mate-backgrounds LadyBird.jpg, or the picture
// VLX_COLOR_PHOTO names; the test is skipped without one.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Draw.h"
#include "color_bench.h"

namespace color_test {
namespace {

constexpr int kWidth = 120;       // pixels across, as printed
constexpr float kPixelMm = 0.4f;  // each pixel's size on paper
constexpr double kDotsPerMm = 720 / 25.4;

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

// The photograph reduced to kWidth pixels across by averaging.
Picture photograph() {
  const char* named = std::getenv("VLX_COLOR_PHOTO");
  const std::string path = named && *named ? named : "/usr/share/backgrounds/mate/nature/LadyBird.jpg";
  int w = 0, h = 0, channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 3);
  Picture p;
  if (!data) return p;
  p.width = kWidth;
  p.height = std::max(1, h * kWidth / w);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const int x0 = x * w / p.width, x1 = std::max(x0 + 1, (x + 1) * w / p.width);
      const int y0 = y * h / p.height, y1 = std::max(y0 + 1, (y + 1) * h / p.height);
      for (int c = 0; c < 3; ++c) {
        long sum = 0;
        for (int yy = y0; yy < y1; ++yy)
          for (int xx = x0; xx < x1; ++xx) sum += data[(static_cast<size_t>(yy) * w + xx) * 3 + c];
        p.rgb.push_back(static_cast<uint8_t>(sum / ((x1 - x0) * (y1 - y0))));
      }
    }
  stbi_image_free(data);
  return p;
}

double saturation(const uint8_t* rgb) {
  const int hi = std::max({rgb[0], rgb[1], rgb[2]}), lo = std::min({rgb[0], rgb[1], rgb[2]});
  return hi == 0 ? 0.0 : double(hi - lo) / hi;
}

struct Saturations {
  double composite = 0;  // as the decoder's composite shows the inks
  double printed = 0;    // as the CMYK profile says the inks look
};

// Mean saturation of the decoded print, pixel by pixel, each pixel's inks
// averaged over its dots.
Saturations printedSaturation(const escp::DotPage& page, const Picture& p, const Reference& ref) {
  Saturations s;
  const double dots = kPixelMm * kDotsPerMm;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const int x0 = int(x * dots), x1 = int((x + 1) * dots), y0 = int(y * dots), y1 = int((y + 1) * dots);
      double coverage[escp::kPlanes];
      for (int plane = 0; plane < escp::kPlanes; ++plane)
        coverage[plane] = escp::meanCoverage(page, plane, x0, y0, x1, y1);
      uint8_t rgb[3];
      escp::inkColour(coverage, -1, rgb);
      s.composite += saturation(rgb);
      const Rgb seen = ref.onScreen(printedCmyk(page, x0, y0, x1, y1));
      const uint8_t looks[3] = {seen.r, seen.g, seen.b};
      s.printed += saturation(looks);
    }
  s.composite /= p.width * p.height;
  s.printed /= p.width * p.height;
  return s;
}

using ColorPhoto = Bench;

TEST_F(ColorPhoto, APhotographKeepsItsSaturation) {
  const Picture p = photograph();
  if (p.width == 0) GTEST_SKIP() << "no photograph (install mate-backgrounds or set VLX_COLOR_PHOTO)";
  double source = 0;
  for (size_t i = 0; i < p.rgb.size(); i += 3) source += saturation(&p.rgb[i]) / (p.width * p.height);
  const float w = p.width * kPixelMm, h = p.height * kPixelMm;
  // LittleCMS alone: the photograph into the press and back to the screen.
  const Reference ref(srgb, press, 0);
  double own = 0;
  for (size_t i = 0; i < p.rgb.size(); i += 3) {
    const Rgb seen = ref.onScreen(ref.cmyk({p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]}));
    const uint8_t looks[3] = {seen.r, seen.g, seen.b};
    own += saturation(looks) / (p.width * p.height);
  }
  ASSERT_EQ(0, jCol2SetupProfile("", "", 0));
  const Saturations driver = printedSaturation(print(p.rgb, p.width, p.height, w, h), p, ref);
  ASSERT_EQ(1, jCol2SetupProfile(srgb.c_str(), press.c_str(), 0));
  const Saturations managed = printedSaturation(print(p.rgb, p.width, p.height, w, h), p, ref);
  jCol2SetupProfile("", "", 0);
  std::printf(
      "[colour] photograph: saturation %.3f in the source, %.3f through LittleCMS alone (ratio %.2f); "
      "driver's conversion %.3f as printed (ratio %.2f), %.3f in the decoder's composite; profiles, "
      "perceptual %.3f as printed (ratio %.2f), %.3f in the decoder's composite\n",
      source, own, own / source, driver.printed, driver.printed / source, driver.composite, managed.printed,
      managed.printed / source, managed.composite);
  EXPECT_NEAR(own, managed.printed, 0.02 * source) << "the print keeps what the profiles keep";
  EXPECT_GE(managed.printed / source, 0.9);
  EXPECT_GE(managed.composite / source, 0.9) << "the decoder shows the print as it looks";
  EXPECT_GT(managed.printed, driver.printed + 0.1 * source);
}

}  // namespace
}  // namespace color_test
