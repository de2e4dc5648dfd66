// The solver under the separation (press_separation.cpp): the nearest cyan,
// magenta and yellow for a given black, and the black that comes nearest.
#pragma once

#include "libs/press/press_model.h"

namespace press {

// How a solution is judged beyond its distance to the wanted colour: the
// most cyan, magenta and yellow may add up to, and how much a unit of
// lightness and of hue count against one of chroma. The differences are
// taken along the wanted colour's hue (chroma) and across it (hue).
struct Fit {
  double cmyLimit = 1e9;
  double lightness = 1;
  double hue = 1;
};

// A colour counts as reached this close (squared CIE 1976 distance); one
// this far out is beyond any black's help worth the search.
constexpr double kReached = 0.25;
constexpr double kFarOut = 20.0 * 20.0;

double distance2(const Lab& x, const Lab& y);
// The printed colour of cyan, magenta, yellow beside black k.
Lab labOf(const double cmy[3], double k);
// The weighted differences (lightness, chroma, hue) of current from wanted,
// and their squared sum.
void fitResiduals(const Lab& current, const Lab& wanted, const Fit& fit, double r[3]);
double fitError(const Lab& current, const Lab& wanted, const Fit& fit);
// The nearest point of the unit cube whose three values add up to at most
// limit.
void keepWithin(double cmy[3], double limit);
// Cyan, magenta, yellow for black k nearest to wanted, starting from cmy;
// returns the error left.
double solveCmy(const Lab& wanted, double k, double cmy[3], const Fit& fit = {});
// Another black where k cannot reach the colour; k and cmy as they were
// where none does better. Returns the error left.
double nearestBlack(const Lab& wanted, double* k, double cmy[3], double err);
// The four inks' total.
double sum(const double cmy[3], double k);

}  // namespace press
