// The inverse of the press model: Lab (relative to the paper) to CMYK
// coverage with medium grey component replacement under a total ink limit,
// colorimetric (the nearest printable colour) or perceptual (lightness and
// chroma compressed into the press's gamut first).
#pragma once

#include "tools/icc-profiles/press_model.h"

namespace press {

// Total ink limit: 350 % of coverage.
constexpr double kTotalInkLimit = 3.5;

// Lightness of the perceptual reference black that colour engines map an
// input's black to for the perceptual intent.
constexpr double kReferenceBlackL = 3.1373;

struct Separation {
  double cmyk[4];
  double error;  // distance in Lab (CIE 1976) from the wanted colour to the printed one
};

Separation separateColorimetric(const Lab& wanted);
Separation separatePerceptual(const Lab& wanted);

// The lightness of the darkest black the press prints within the ink limit.
double darkestLightness();

}  // namespace press
