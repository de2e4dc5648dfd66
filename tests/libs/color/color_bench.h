// The colour bench: pictures printed as jobs through the drawing library and
// the real plug-in (the printing fixture), decoded back into ink coverage,
// and LittleCMS's own answer for the same colours and profiles.
#pragma once

#include <lcms2.h>

#include <cstdint>
#include <string>
#include <vector>

#include "libs/escdecode/dot_pages.h"
#include "printing_fixture.h"

namespace color_test {

struct Rgb {
  uint8_t r, g, b;
};

struct Cmyk {
  double c, m, y, k;  // percent
};

// A photograph of Debian's mate-backgrounds (or the file VLX_COLOR_PHOTO
// names, for LadyBird.jpg), reduced to width pixels across by averaging;
// empty when it cannot be read.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};
Picture photograph(const char* name, int width);

// The limits of the built-in papers (plain, matte, semi-gloss, gloss) and
// one above the press's own 350 %, which no paper profile replaces.
constexpr int kPaperLimits[] = {120, 157, 170, 180, 360};

// The test chart's patches and a coarse grid of the RGB cube.
std::vector<Rgb> chartPatches();

// Printed ink of a decoded cell area as CMYK percent: the light inks count
// at their densities (30 % cyan and magenta, 50 % and 17 % black).
Cmyk printedCmyk(const escp::DotPage& page, int x0, int y0, int x1, int y1);

// LittleCMS: RGB to the CMYK profile with an intent (black-point
// compensation for perceptual and saturation, as the product), CMYK to Lab, and whether
// the CMYK profile's gamut holds an RGB colour.
class Reference {
 public:
  Reference(const std::string& rgbProfile, const std::string& cmykProfile, int intent);
  ~Reference();
  Reference(const Reference&) = delete;
  Reference& operator=(const Reference&) = delete;
  Cmyk cmyk(const Rgb& rgb) const;
  cmsCIELab lab(const Cmyk& cmyk) const;
  cmsCIELab sourceLab(const Rgb& rgb) const;
  bool inGamut(const Rgb& rgb) const;
  // How printed CMYK looks: through the CMYK profile into the RGB profile
  // (relative colorimetric, black point compensated).
  Rgb onScreen(const Cmyk& cmyk) const;

 private:
  cmsHPROFILE rgb_, cmyk_, lab_;
  cmsHTRANSFORM toCmyk_, toLab_, sourceToLab_, gamut_, toRgb_;
};

struct Bench : draw_test::PrintingFixture {
  void SetUp() override;
  // Prints a picture of width x height pixels (RGB, top row first) as one
  // image over widthMm x heightMm; the decoded page, empty on failure.
  escp::DotPage print(const std::vector<uint8_t>& pixels, int width, int height, float widthMm, float heightMm);
  // The printed CMYK of each patch (row after row, columns across), each
  // measured over the middle half of its cell.
  std::vector<Cmyk> printPatches(const std::vector<Rgb>& patches, int columns);
  // The decoder's composite of each patch of the last printPatches.
  std::vector<Rgb> patchComposites;
  // The plain CIELAB of each patch of the last printPatches, as the inks print.
  std::vector<cmsCIELab> patchLabs;
  // The CMYK profile a paper of this limit prints through: the press's own
  // for 350 % and above, else the press made for the limit.
  std::string paperProfile(int limit);

  // The paper's ink limit (percent; 0 = the machine's own). The default
  // profile's total ink is 350 %: a limit of 360 prints through it as it is.
  int32_t inkLimit = 360;
  testing_support::ScratchFolder profiles;
  std::string srgb, press;
};

}  // namespace color_test
