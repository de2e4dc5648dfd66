// The inverse of the press model: Lab (relative to the paper) to CMYK
// coverage with medium grey component replacement under a total ink limit,
// colorimetric (the nearest printable colour) or perceptual (lightness and
// chroma compressed into what the press prints within the limit first).
//
// Each paper takes its own total ink, so a separator is made for one limit:
// its darkest neutral and its black curve follow from that limit, and every
// colour it separates stays within it.
#pragma once

#include "libs/press/press_model.h"

namespace press {

// The total ink of the press's own characterisation: 350 % of coverage.
constexpr double kPressTotalInk = 3.5;

// Lightness of the perceptual reference black that colour engines map an
// input's black to for the perceptual intent.
constexpr double kReferenceBlackL = 3.1373;

struct Separation {
  double cmyk[4];
  double error;  // distance in Lab (CIE 1976) from the wanted colour to the printed one
};

class Separator {
 public:
  // totalInk: the most coverage the four inks may add up to (1.2 is 120 %).
  explicit Separator(double totalInk);

  Separation colorimetric(const Lab& wanted) const;
  Separation perceptual(const Lab& wanted) const;

  double totalInk() const { return limit_; }
  // The lightness of the darkest neutral the press prints within the limit.
  double darkestLightness() const { return darkestL_; }
  // The perceptual intent's lightness: a reference lightness (the reference
  // medium's black kReferenceBlackL) to the one printed, and back.
  double printedLightness(double referenceL) const;
  double referenceLightness(double printedL) const;
  // The black that a grey of lightness L takes: none in the highlights,
  // rising smoothly to the darkest grey's black.
  double blackForLightness(double L) const;

 private:
  static constexpr int kAxisSteps = 48;

  bool leastBlackWithinLimit(const Lab& sought, double* k, double cmy[3]) const;
  double nearestWithinLimit(const Lab& sought, double k, double cmy[3]) const;

  double limit_;
  double darkestL_ = 0;
  double darkestBlack_ = 0;
  double startL_ = 0;                      // the lightest grey with black
  double axisBlack_[kAxisSteps + 1] = {};  // black from the start (0) to the darkest grey
};

// The separator of the press's own total ink (350 %), made once.
const Separator& pressSeparator();

}  // namespace press
