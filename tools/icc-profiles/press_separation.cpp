// The inverse is solved per colour: cyan, magenta and yellow by a damped
// Gauss-Newton search inside the unit cube for a given black, black from the
// grey component of the three-ink solution (medium replacement: none below a
// fifth, most of it in the shadows), another black where that one cannot
// reach the colour, and more black while the total is over the limit.
#include "tools/icc-profiles/press_separation.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace press {
namespace {

double distance2(const Lab& x, const Lab& y) {
  return (x.L - y.L) * (x.L - y.L) + (x.a - y.a) * (x.a - y.a) + (x.b - y.b) * (x.b - y.b);
}

Lab labOf(const double cmy[3], double k) {
  const double v[4] = {cmy[0], cmy[1], cmy[2], k};
  return printedLab(v);
}

// Solves the 3 x 3 system m x = r by elimination with pivoting; false when
// singular.
bool solve3(double m[3][3], double r[3], double x[3]) {
  for (int col = 0; col < 3; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 3; ++row)
      if (std::fabs(m[row][col]) > std::fabs(m[pivot][col])) pivot = row;
    if (std::fabs(m[pivot][col]) < 1e-12) return false;
    std::swap(m[col], m[pivot]);
    std::swap(r[col], r[pivot]);
    for (int row = col + 1; row < 3; ++row) {
      const double f = m[row][col] / m[col][col];
      for (int c = col; c < 3; ++c) m[row][c] -= f * m[col][c];
      r[row] -= f * r[col];
    }
  }
  for (int row = 2; row >= 0; --row) {
    double s = r[row];
    for (int c = row + 1; c < 3; ++c) s -= m[row][c] * x[c];
    x[row] = s / m[row][row];
  }
  return true;
}

// Cyan, magenta, yellow for black k nearest to wanted; returns the squared
// distance left. A channel at a bound of the cube whose step would leave it
// stays fixed for that step.
double solveCmy(const Lab& wanted, double k, double cmy[3]) {
  Lab current = labOf(cmy, k);
  double err = distance2(current, wanted);
  double lambda = 1e-3;
  for (int it = 0; it < 40 && err > 1e-8 && lambda < 1e8; ++it) {
    double jac[3][3];
    for (int j = 0; j < 3; ++j) {
      double probe[3] = {cmy[0], cmy[1], cmy[2]};
      const double h = cmy[j] > 0.5 ? -1e-5 : 1e-5;
      probe[j] += h;
      const Lab l = labOf(probe, k);
      jac[0][j] = (l.L - current.L) / h;
      jac[1][j] = (l.a - current.a) / h;
      jac[2][j] = (l.b - current.b) / h;
    }
    const double r[3] = {wanted.L - current.L, wanted.a - current.a, wanted.b - current.b};
    bool fixed[3] = {false, false, false};
    double step[3] = {0, 0, 0};
    for (int pass = 0; pass < 3; ++pass) {
      double m[3][3], g[3];
      for (int i = 0; i < 3; ++i) {
        g[i] = 0;
        for (int j = 0; j < 3; ++j) {
          m[i][j] = 0;
          for (int e = 0; e < 3; ++e) m[i][j] += jac[e][i] * jac[e][j];
        }
        for (int e = 0; e < 3; ++e) g[i] += jac[e][i] * r[e];
      }
      for (int i = 0; i < 3; ++i) {
        m[i][i] *= 1 + lambda;
        m[i][i] += 1e-9;
        if (fixed[i]) {
          for (int j = 0; j < 3; ++j) m[i][j] = m[j][i] = 0;
          m[i][i] = 1;
          g[i] = 0;
        }
      }
      if (!solve3(m, g, step)) break;
      bool again = false;
      for (int i = 0; i < 3; ++i)
        if (!fixed[i] && ((cmy[i] <= 0 && step[i] < 0) || (cmy[i] >= 1 && step[i] > 0))) fixed[i] = again = true;
      if (!again) break;
    }
    double next[3];
    for (int i = 0; i < 3; ++i) next[i] = std::clamp(cmy[i] + (fixed[i] ? 0 : step[i]), 0.0, 1.0);
    const Lab l = labOf(next, k);
    const double e = distance2(l, wanted);
    if (e < err) {
      std::copy(next, next + 3, cmy);
      current = l;
      err = e;
      lambda = std::max(lambda * 0.2, 1e-7);
    } else {
      lambda *= 10;
    }
  }
  return err;
}

// Medium grey component replacement: black for the grey part of a
// three-ink solution.
double blackFor(double grey) {
  if (grey <= 0.2) return 0;
  return 0.95 * std::pow((grey - 0.2) / 0.8, 1.2);
}

double sum(const double cmy[3], double k) {
  return cmy[0] + cmy[1] + cmy[2] + k;
}

// A colour counts as reached this close (squared CIE 1976 distance); one
// this far out is beyond any black's help worth the search.
constexpr double kReached = 0.25;
constexpr double kFarOut = 20.0 * 20.0;

// Where the replacement's black cannot reach a colour, another black often
// can (a dark olive needs more black than its grey part asks for): the
// black whose solution comes nearest, from a coarse scan refined by halving
// steps around the best. A black that does no better leaves k as it was.
double nearestBlack(const Lab& wanted, double* k, double cmy[3], double err) {
  double best[3] = {cmy[0], cmy[1], cmy[2]};
  auto tryBlack = [&](double trialK) {
    if (trialK < 0 || trialK > 1) return;
    double trial[3] = {best[0], best[1], best[2]};
    const double e = solveCmy(wanted, trialK, trial);
    if (e < err - 1e-9) {
      err = e;
      *k = trialK;
      std::copy(trial, trial + 3, best);
    }
  };
  const double replacement = *k;
  for (double trialK : {0.0, 0.25, 0.5, 0.75, 1.0}) tryBlack(trialK);
  for (double step = 0.125; step > 0.01; step /= 2) {
    const double around = *k;
    tryBlack(around - step);
    tryBlack(around + step);
  }
  if (err < kReached) {
    // Reached: the black nearest the replacement's that still reaches it,
    // so the separation moves on smoothly from where the replacement's
    // black stops reaching.
    double far = *k, near = replacement;
    for (int i = 0; i < 6; ++i) {
      const double mid = (far + near) / 2;
      double trial[3] = {best[0], best[1], best[2]};
      const double e = solveCmy(wanted, mid, trial);
      if (e < kReached) {
        far = mid;
        err = e;
        *k = mid;
        std::copy(trial, trial + 3, best);
      } else {
        near = mid;
      }
    }
  }
  std::copy(best, best + 3, cmy);
  return err;
}

}  // namespace

Separation separateColorimetric(const Lab& wanted) {
  double cmy[3] = {0.3, 0.3, 0.3};
  solveCmy(wanted, 0, cmy);
  double k = blackFor(std::min({cmy[0], cmy[1], cmy[2]}));
  double err = solveCmy(wanted, k, cmy);
  if (err > kReached && err < kFarOut) err = nearestBlack(wanted, &k, cmy, err);
  if (sum(cmy, k) > kTotalInkLimit) {
    // The least black that keeps the total within the limit.
    double low = k, high = 1;
    double best[3] = {cmy[0], cmy[1], cmy[2]};
    for (int i = 0; i < 10; ++i) {
      const double mid = (low + high) / 2;
      double trial[3] = {cmy[0], cmy[1], cmy[2]};
      solveCmy(wanted, mid, trial);
      if (sum(trial, mid) > kTotalInkLimit) {
        low = mid;
      } else {
        high = mid;
        std::copy(trial, trial + 3, best);
      }
    }
    k = high;
    std::copy(best, best + 3, cmy);
    const double chromatic = cmy[0] + cmy[1] + cmy[2];
    if (chromatic + k > kTotalInkLimit)
      for (double& v : cmy) v *= (kTotalInkLimit - k) / chromatic;
    err = distance2(labOf(cmy, k), wanted);
  }
  return {{cmy[0], cmy[1], cmy[2], k}, std::sqrt(err)};
}

double darkestLightness() {
  static const double darkest = [] {
    const Separation s = separateColorimetric({0, 0, 0});
    return printedLab(s.cmyk).L;
  }();
  return darkest;
}

Separation separatePerceptual(const Lab& wanted) {
  const double black = darkestLightness();
  const double scaled = black + (wanted.L - kReferenceBlackL) * (100 - black) / (100 - kReferenceBlackL);
  Lab mapped{std::clamp(scaled, black, 100.0), wanted.a, wanted.b};
  const double chroma = std::hypot(wanted.a, wanted.b);
  if (chroma > 1e-6) {
    // The press's chroma limit in this hue and lightness: what the nearest
    // printable colour to a far more saturated one keeps.
    const Lab far{mapped.L, wanted.a / chroma * 160, wanted.b / chroma * 160};
    const Separation edge = separateColorimetric(far);
    const Lab edgeLab = printedLab(edge.cmyk);
    const double limit = std::max(std::hypot(edgeLab.a, edgeLab.b), 1.0);
    const double knee = 0.7 * limit;
    if (chroma > knee) {
      // Chroma beyond the knee is compressed smoothly towards the limit.
      const double kept = knee + (limit - knee) * (1 - std::exp(-(chroma - knee) / (limit - knee)));
      mapped.a = wanted.a * kept / chroma;
      mapped.b = wanted.b * kept / chroma;
    }
  }
  return separateColorimetric(mapped);
}

}  // namespace press
