#include "libs/press/press_model.h"

#include <algorithm>
#include <cmath>

namespace press {
namespace {

constexpr double kD50[3] = {0.9642, 1.0, 0.8249};

// Published figures of coated paper printed to the characterisation
// (rounded): paper, the four solids, the three two-colour overprints and the
// three-colour overprint, absolute Lab under D50.
const Lab kPaper{93.0, 0.0, -3.0};
// Index: bit 0 cyan, bit 1 magenta, bit 2 yellow.
const Lab kChromatic[8] = {
    kPaper,                // paper
    {54.0, -37.0, -50.0},  // cyan
    {46.0, 72.0, -5.0},    // magenta
    {22.0, 20.0, -46.0},   // cyan + magenta (blue)
    {87.0, -6.0, 90.0},    // yellow
    {49.0, -66.0, 25.0},   // cyan + yellow (green)
    {46.0, 67.0, 46.0},    // magenta + yellow (red)
    {22.0, 0.0, -1.0},     // cyan + magenta + yellow
};
const Lab kBlack{16.0, 0.0, 0.0};

// Tone value increase at 50 % (cyan, magenta, yellow, black).
constexpr double kTvi50[4] = {0.14, 0.14, 0.13, 0.16};

// Black over a chromatic solid does not darken it as much as the product of
// their transmittances says (proportionality failure): the mixture lies
// this far from the product towards the darker of the two.
constexpr double kBlackFailure = 0.5;

struct Solids {
  double t[16][3];  // transmittance against the paper, per X, Y, Z
};

Solids makeSolids() {
  Solids s{};
  double paper[3], black[3];
  labToXyz(kPaper, paper);
  labToXyz(kBlack, black);
  for (int i = 0; i < 8; ++i) {
    double xyz[3];
    labToXyz(kChromatic[i], xyz);
    for (int c = 0; c < 3; ++c) {
      const double chromatic = xyz[c] / paper[c];
      const double k = black[c] / paper[c];
      s.t[i][c] = chromatic;
      s.t[i | 8][c] = (1 - kBlackFailure) * chromatic * k + kBlackFailure * std::min(chromatic, k);
    }
  }
  return s;
}

const Solids& solids() {
  static const Solids s = makeSolids();
  return s;
}

// The printed coverage of a nominal tone value: a parabola through 0, 1 and
// the increase at 50 %.
double printed(double tone, int ink) {
  const double v = std::clamp(tone, 0.0, 1.0);
  return v + 4 * kTvi50[ink] * v * (1 - v);
}

double f(double t) {
  return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
}
double fInverse(double t) {
  return t * t * t > 216.0 / 24389 ? t * t * t : (116 * t - 16) * 27 / 24389;
}

}  // namespace

void labToXyz(const Lab& lab, double xyz[3]) {
  const double fy = (lab.L + 16) / 116;
  xyz[0] = kD50[0] * fInverse(fy + lab.a / 500);
  xyz[1] = kD50[1] * fInverse(fy);
  xyz[2] = kD50[2] * fInverse(fy - lab.b / 200);
}

Lab xyzToLab(const double xyz[3]) {
  const double fx = f(xyz[0] / kD50[0]), fy = f(xyz[1] / kD50[1]), fz = f(xyz[2] / kD50[2]);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

Lab paperLab() {
  return kPaper;
}

double toneValueIncrease(int ink) {
  return kTvi50[ink];
}

void overprintShares(const double cmyk[4], double shares[16]) {
  double a[4];
  for (int i = 0; i < 4; ++i) a[i] = printed(cmyk[i], i);
  for (int combo = 0; combo < 16; ++combo) {
    double w = 1;
    for (int i = 0; i < 4; ++i) w *= (combo >> i & 1) ? a[i] : 1 - a[i];
    shares[combo] = w;
  }
}

Lab printedLab(const double cmyk[4]) {
  double shares[16];
  overprintShares(cmyk, shares);
  const Solids& s = solids();
  double xyz[3] = {0, 0, 0};
  for (int combo = 0; combo < 16; ++combo)
    for (int c = 0; c < 3; ++c) xyz[c] += shares[combo] * s.t[combo][c] * kD50[c];
  return xyzToLab(xyz);
}

}  // namespace press
