// The solver under the separation: for a given black, the cyan, magenta
// and yellow nearest a wanted colour, by a damped Gauss-Newton search inside
// the unit cube (and, where a limit is set, inside the limit), and the
// search over black where the given one cannot reach the colour.
#include "libs/press/press_solver.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace press {
namespace {

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

}  // namespace

double distance2(const Lab& x, const Lab& y) {
  return (x.L - y.L) * (x.L - y.L) + (x.a - y.a) * (x.a - y.a) + (x.b - y.b) * (x.b - y.b);
}

Lab labOf(const double cmy[3], double k) {
  const double v[4] = {cmy[0], cmy[1], cmy[2], k};
  return printedLab(v);
}

// The weighted differences (lightness, chroma, hue) of current from wanted.
void fitResiduals(const Lab& current, const Lab& wanted, const Fit& fit, double r[3]) {
  const double chroma = std::hypot(wanted.a, wanted.b);
  const double cosH = chroma > 1e-9 ? wanted.a / chroma : 1, sinH = chroma > 1e-9 ? wanted.b / chroma : 0;
  const double da = wanted.a - current.a, db = wanted.b - current.b;
  r[0] = fit.lightness * (wanted.L - current.L);
  r[1] = da * cosH + db * sinH;
  r[2] = fit.hue * (db * cosH - da * sinH);
}

double fitError(const Lab& current, const Lab& wanted, const Fit& fit) {
  double r[3];
  fitResiduals(current, wanted, fit, r);
  return r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
}

// The nearest point of the unit cube whose three values add up to at most
// limit: the same amount off each, those at 0 staying there.
void keepWithin(double cmy[3], double limit) {
  if (cmy[0] + cmy[1] + cmy[2] <= limit) return;
  double lo = 0, hi = 1;
  for (int i = 0; i < 40; ++i) {
    const double mid = (lo + hi) / 2;
    double total = 0;
    for (int c = 0; c < 3; ++c) total += std::max(cmy[c] - mid, 0.0);
    (total > limit ? lo : hi) = mid;
  }
  for (int c = 0; c < 3; ++c) cmy[c] = std::max(cmy[c] - hi, 0.0);
}

// Cyan, magenta, yellow for black k nearest to wanted (as fit judges);
// returns the error left. A channel at a bound of the cube whose step would
// leave it stays fixed for that step.
double solveCmy(const Lab& wanted, double k, double cmy[3], const Fit& fit) {
  keepWithin(cmy, fit.cmyLimit);
  Lab current = labOf(cmy, k);
  double err = fitError(current, wanted, fit);
  double lambda = 1e-3;
  for (int it = 0; it < 40 && err > 1e-8 && lambda < 1e8; ++it) {
    double r[3];
    fitResiduals(current, wanted, fit, r);
    double jac[3][3];
    for (int j = 0; j < 3; ++j) {
      double probe[3] = {cmy[0], cmy[1], cmy[2]};
      const double h = cmy[j] > 0.5 ? -1e-5 : 1e-5;
      probe[j] += h;
      double moved[3];
      fitResiduals(labOf(probe, k), wanted, fit, moved);
      for (int e = 0; e < 3; ++e) jac[e][j] = (r[e] - moved[e]) / h;
    }
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
    keepWithin(next, fit.cmyLimit);
    const Lab l = labOf(next, k);
    const double e = fitError(l, wanted, fit);
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

double sum(const double cmy[3], double k) {
  return cmy[0] + cmy[1] + cmy[2] + k;
}

}  // namespace press
