#include "libs/escdecode/printed_colour.h"

#include <algorithm>
#include <cmath>

#include "libs/press/press_model.h"
#include "libs/press/press_separation.h"

namespace escp {
namespace {

// The four inks' share of each light ink, in plane order from light cyan.
constexpr int kDarkOf[4] = {0, 1, 3, 3};
constexpr double kLightDensity[4] = {0.30, 0.30, 0.50, 0.17};

// CIE XYZ under D50 (relative to the paper) to linear sRGB, the Bradford
// adaptation to D65 included.
constexpr double kXyzToRgb[3][3] = {
    {3.1338561, -1.6168667, -0.4906146}, {-0.9787684, 1.9161415, 0.0334540}, {0.0719453, -0.2289914, 1.4052427}};

constexpr int kEncodeSteps = 4096;

struct Tables {
  double solid[16][3];                // linear sRGB of each overprint, bit i: ink i at full
  double black;                       // the darkest the press prints, as linear sRGB (grey)
  uint8_t encoded[kEncodeSteps + 1];  // sRGB's transfer curve over linear 0..1
};

Tables makeTables() {
  Tables t{};
  for (int combo = 0; combo < 16; ++combo) {
    double cmyk[4];
    for (int i = 0; i < 4; ++i) cmyk[i] = (combo >> i) & 1;
    double xyz[3];
    press::labToXyz(press::printedLab(cmyk), xyz);
    for (int c = 0; c < 3; ++c)
      t.solid[combo][c] = kXyzToRgb[c][0] * xyz[0] + kXyzToRgb[c][1] * xyz[1] + kXyzToRgb[c][2] * xyz[2];
  }
  double xyz[3];
  press::labToXyz({press::pressSeparator().darkestLightness(), 0, 0}, xyz);
  t.black = xyz[1];
  for (int i = 0; i <= kEncodeSteps; ++i) {
    const double v = static_cast<double>(i) / kEncodeSteps;
    const double e = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    t.encoded[i] = static_cast<uint8_t>(std::lround(255 * std::clamp(e, 0.0, 1.0)));
  }
  return t;
}

const Tables& tables() {
  static const Tables t = makeTables();
  return t;
}

// The four inks' coverage, each light ink counted as its share of its dark ink.
void fourInks(const double coverage[kPlanes], double tone[4]) {
  for (int i = 0; i < 4; ++i) tone[i] = coverage[i];
  for (int i = 0; i < 4; ++i) tone[kDarkOf[i]] += kLightDensity[i] * coverage[4 + i];
  for (int i = 0; i < 4; ++i) tone[i] = std::min(tone[i], 1.0);
}

}  // namespace

void printedLab(const double coverage[kPlanes], double lab[3]) {
  double tone[4];
  fourInks(coverage, tone);
  const press::Lab l = press::printedLab(tone);
  lab[0] = l.L;
  lab[1] = l.a;
  lab[2] = l.b;
}

void printedColour(const double coverage[kPlanes], uint8_t rgb[3]) {
  double tone[4];
  fourInks(coverage, tone);
  double shares[16];
  press::overprintShares(tone, shares);
  const Tables& t = tables();
  double linear[3] = {0, 0, 0};
  for (int combo = 0; combo < 16; ++combo)
    for (int c = 0; c < 3; ++c) linear[c] += shares[combo] * t.solid[combo][c];
  // The press's black is the screen's black, the paper its white.
  for (int c = 0; c < 3; ++c) {
    const double v = (linear[c] - t.black) / (1 - t.black);
    rgb[c] = t.encoded[static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * kEncodeSteps))];
  }
}

}  // namespace escp
