// A model of offset printing on coated paper, CMYK coverage to CIELAB (D50,
// relative to the paper): the colours of the paper, the solids and their
// overprints as published for the characterisation that the default CMYK
// profile is named after, a tone value increase per ink, and the Demichel
// mixture of the sixteen solid combinations. It is a model made from
// published figures, not the characterisation's own measurements.
#pragma once

namespace press {

struct Lab {
  double L, a, b;
};

// Coverage 0..1 each (cyan, magenta, yellow, black); Lab relative to the
// paper (the paper itself is L 100, a 0, b 0).
Lab printedLab(const double cmyk[4]);

// The mixture printedLab makes: the share of the page each of the sixteen
// solid overprints covers (bit i set: ink i), after each ink's tone value
// increase. Colours mix linearly in XYZ by these shares.
void overprintShares(const double cmyk[4], double shares[16]);

// The paper's own Lab (D50), for the profile's media white point.
Lab paperLab();

// The tone value increase at 50 % of ink i (cyan, magenta, yellow, black).
double toneValueIncrease(int ink);

// CIELAB conversions against the D50 white.
void labToXyz(const Lab& lab, double xyz[3]);
Lab xyzToLab(const double xyz[3]);

}  // namespace press
