// The inverse is solved per colour: cyan, magenta and yellow by a damped
// Gauss-Newton search inside the unit cube for a given black. Black follows
// the colour's lightness (medium replacement: none in the highlights, rising
// smoothly to the darkest neutral's black), less of it the more colourful the
// colour is; another black where that one cannot reach the colour, and more
// black while the total is over the limit. Along the neutral axis every ink
// rises with darkness, up to the darkest neutral the limit allows.
#include "libs/press/press_separation.h"

#include "libs/press/press_solver.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace press {
namespace {

// Black starts where a neutral is this light (about a fifth of three-ink
// grey), or lighter where the limit leaves less cyan than that, and a colour
// counts as this much lighter per unit of chroma, so colourful colours take
// less black than greys of their lightness.
constexpr double kBlackStartL = 78.0;
constexpr double kChromaAsLightness = 0.5;
// How much a unit of lightness counts against one of a* or b* when a colour
// over the limit is clipped to the nearest the paper prints.
constexpr double kClipLightness = 2.0;
constexpr double kClipHue = 2.0;
// Perceptual: chroma up to this share of what the paper prints at a colour's
// lightness and hue is kept as it is; beyond it, compressed smoothly.
constexpr double kKnee = 0.9;

// Cyan of the three-ink grey of lightness L: falls as L rises.
double threeInkCyan(double L) {
  double cmy[3] = {0.3, 0.3, 0.3};
  solveCmy({L, 0, 0}, 0, cmy);
  return cmy[0];
}

// The black with which grey L takes cyan c: cyan falls as black rises.
double blackForCyan(double L, double c) {
  double lo = 0, hi = 1;
  for (int i = 0; i < 20; ++i) {
    const double mid = (lo + hi) / 2;
    double cmy[3] = {0.3, 0.3, 0.3};
    solveCmy({L, 0, 0}, mid, cmy);
    (cmy[0] > c ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

struct Darkest {
  double L, black;
};

// The darkest neutral within the limit: for each black, the darkest grey
// whose three inks still fit beside it; the black whose grey is darkest,
// from a coarse scan refined around the best.
Darkest darkestNeutral(double limit) {
  auto fits = [limit](double L, double k) {
    double cmy[3] = {0.3, 0.3, 0.3};
    return solveCmy({L, 0, 0}, k, cmy) < kReached && sum(cmy, k) <= limit;
  };
  // A grey lighter than black k alone cannot take that black: the search
  // runs from the lightest grey that does, down to the darkest that fits.
  auto darkestFor = [&](double k) {
    const double alone[4] = {0, 0, 0, k};
    double hi = printedLab(alone).L;
    while (hi > 0 && !fits(hi, k)) hi -= 1;
    if (hi <= 0) return 100.0;
    double lo = 0;
    for (int i = 0; i < 20; ++i) {
      const double mid = (lo + hi) / 2;
      (fits(mid, k) ? hi : lo) = mid;
    }
    return hi;
  };
  Darkest best{100, 0};
  auto tryBlack = [&](double k) {
    if (k < 0 || k > 1 || k > limit) return;
    const double L = darkestFor(k);
    if (L < best.L - 1e-9) best = {L, k};
  };
  for (int i = 0; i <= 20; ++i) tryBlack(i / 20.0);
  for (double step = 0.025; step > 0.002; step /= 2) {
    const double around = best.black;
    tryBlack(around - step);
    tryBlack(around + step);
  }
  return best;
}

}  // namespace

// The neutral axis: no black down to the start, then cyan rises smoothly
// from the three-ink grey's at the start to the darkest neutral's, and black
// is what each grey then needs. So no ink of a grey ever falls as the grey
// darkens, and the darkest grey is the darkest the limit allows.
Separator::Separator(double totalInk) : limit_(std::clamp(totalInk, 0.05, 4.0)) {
  const Darkest d = darkestNeutral(limit_);
  darkestL_ = d.L;
  darkestBlack_ = d.black;
  double darkest[3] = {0.3, 0.3, 0.3};
  solveCmy({d.L, 0, 0}, d.black, darkest);
  const double endCyan = darkest[0];
  startL_ = kBlackStartL;
  double startCyan = threeInkCyan(startL_);
  if (startCyan > endCyan) {
    double lo = startL_, hi = 100;
    for (int i = 0; i < 20; ++i) {
      const double mid = (lo + hi) / 2;
      (threeInkCyan(mid) > endCyan ? lo : hi) = mid;
    }
    startL_ = hi;
    startCyan = endCyan;
  }
  if (startL_ <= darkestL_) return;
  for (int i = 0; i < kAxisSteps; ++i) {
    const double x = static_cast<double>(i) / kAxisSteps;  // 0 at the start, towards 1 at the darkest
    const double L = startL_ - x * (startL_ - darkestL_);
    const double cyan = startCyan + (endCyan - startCyan) * x * x * (3 - 2 * x);
    axisBlack_[i] = blackForCyan(L, cyan);
  }
  axisBlack_[kAxisSteps] = darkestBlack_;
  // Bisection noise must not make the curve step back.
  for (int i = 1; i <= kAxisSteps; ++i) axisBlack_[i] = std::max(axisBlack_[i], axisBlack_[i - 1]);
}

double Separator::blackForLightness(double L) const {
  if (L >= startL_ || startL_ <= darkestL_) return 0;
  if (L <= darkestL_) return darkestBlack_;
  const double at = (startL_ - L) / (startL_ - darkestL_) * kAxisSteps;
  const int i = std::min(static_cast<int>(at), kAxisSteps - 1);
  const double t = at - i;
  return axisBlack_[i] * (1 - t) + axisBlack_[i + 1] * t;
}

// Over the limit with the black it was given: the least black with which
// the colour is still reached and the total fits (a search by halves from k
// up, each solution starting from the last). False, k and cmy as they were,
// where no black does both.
bool Separator::leastBlackWithinLimit(const Lab& sought, double* k, double cmy[3]) const {
  double low = *k, high = std::min(1.0, limit_);
  double best[3] = {cmy[0], cmy[1], cmy[2]}, bestError = 0;
  bool found = false;
  for (int i = 0; i < 12; ++i) {
    const double mid = (low + high) / 2;
    double trial[3] = {cmy[0], cmy[1], cmy[2]};
    const double e = solveCmy(sought, mid, trial);
    if (sum(trial, mid) > limit_) {
      low = mid;
    } else {
      high = mid;
      found = true;
      bestError = e;
      std::copy(trial, trial + 3, best);
    }
  }
  if (!found || bestError > kReached) return false;
  *k = high;
  std::copy(best, best + 3, cmy);
  return true;
}

// Over the limit and out of reach within it: the nearest colour the paper
// prints within it, lightness
// and hue counting double, so that a colour keeps its hue and a dark colour
// stays dark (more black, less chroma) rather than lighter. Each black from k up is judged by the nearest
// cyan, magenta and yellow that fit beside it; the best black is found by a
// golden-section search, each solution starting from the last. Returns the
// black; cmy holds the colour inks, within the limit.
double Separator::nearestWithinLimit(const Lab& sought, double k, double cmy[3]) const {
  const double phi = (std::sqrt(5.0) - 1) / 2;
  double warm[3] = {cmy[0], cmy[1], cmy[2]};
  auto judge = [&](double black, double out[3]) {
    std::copy(warm, warm + 3, out);
    const double e = solveCmy(sought, black, out, {std::max(limit_ - black, 0.0), kClipLightness, kClipHue});
    std::copy(out, out + 3, warm);
    return e;
  };
  double lo = std::min(k, limit_), hi = std::min(1.0, limit_);
  double x1 = hi - phi * (hi - lo), x2 = lo + phi * (hi - lo);
  double c1[3], c2[3];
  double f1 = judge(x1, c1), f2 = judge(x2, c2);
  for (int i = 0; i < 10; ++i) {
    if (f1 <= f2) {
      hi = x2;
      x2 = x1, f2 = f1;
      std::copy(c1, c1 + 3, c2);
      x1 = hi - phi * (hi - lo);
      f1 = judge(x1, c1);
    } else {
      lo = x1;
      x1 = x2, f1 = f2;
      std::copy(c2, c2 + 3, c1);
      x2 = lo + phi * (hi - lo);
      f2 = judge(x2, c2);
    }
  }
  const bool first = f1 <= f2;
  const double black = first ? x1 : x2;
  std::copy(first ? c1 : c2, (first ? c1 : c2) + 3, cmy);
  return black;
}

Separation Separator::colorimetric(const Lab& wanted) const {
  if (wanted.L >= 100 && std::hypot(wanted.a, wanted.b) < 1e-6) return {{0, 0, 0, 0}, 0};
  // Nothing prints darker than the darkest neutral: a darker colour is
  // sought at that lightness, its hue and chroma kept.
  const Lab sought{std::max(wanted.L, darkestL_), wanted.a, wanted.b};
  double k = blackForLightness(sought.L + kChromaAsLightness * std::hypot(sought.a, sought.b));
  double cmy[3] = {0.3, 0.3, 0.3};
  double err = solveCmy(sought, k, cmy);
  if (err > kReached && err < kFarOut) err = nearestBlack(sought, &k, cmy, err);
  // A colour no black reaches is clipped straight away.
  if (sum(cmy, k) > limit_ && (err > kFarOut || !leastBlackWithinLimit(sought, &k, cmy)))
    k = nearestWithinLimit(sought, k, cmy);
  return {{cmy[0], cmy[1], cmy[2], k}, std::sqrt(distance2(labOf(cmy, k), wanted))};
}

// The perceptual reference medium's black is the paper's darkest grey, and
// the lightnesses between them are spread evenly: the darks a paper cannot
// reach are lifted in order, and each tone keeps the chroma the paper gives
// its new lightness.
double Separator::printedLightness(double referenceL) const {
  const double L = darkestL_ + (referenceL - kReferenceBlackL) * (100 - darkestL_) / (100 - kReferenceBlackL);
  return std::clamp(L, darkestL_, 100.0);
}

double Separator::referenceLightness(double printedL) const {
  const double L = kReferenceBlackL + (printedL - darkestL_) * (100 - kReferenceBlackL) / (100 - darkestL_);
  return std::max(L, 0.0);
}

Separation Separator::perceptual(const Lab& wanted) const {
  Lab mapped{printedLightness(wanted.L), wanted.a, wanted.b};
  const double chroma = std::hypot(wanted.a, wanted.b);
  if (chroma > 1e-6) {
    // The press's chroma limit in this hue and lightness: what the nearest
    // printable colour to a far more saturated one keeps.
    const Lab far{mapped.L, wanted.a / chroma * 160, wanted.b / chroma * 160};
    // Its chroma is taken along the wanted hue, so that what is mapped
    // inside it is printed at that hue.
    const Separation edge = colorimetric(far);
    const Lab edgeLab = printedLab(edge.cmyk);
    const double limit = std::max((edgeLab.a * wanted.a + edgeLab.b * wanted.b) / chroma, 1.0);
    const double knee = kKnee * limit;
    if (chroma > knee) {
      // Chroma beyond the knee is compressed smoothly towards the limit.
      const double kept = knee + (limit - knee) * (1 - std::exp(-(chroma - knee) / (limit - knee)));
      mapped.a = wanted.a * kept / chroma;
      mapped.b = wanted.b * kept / chroma;
    }
  }
  Separation s = colorimetric(mapped);
  s.error = std::sqrt(distance2(printedLab(s.cmyk), mapped));
  return s;
}

const Separator& pressSeparator() {
  static const Separator separator(kPressTotalInk);
  return separator;
}

}  // namespace press
