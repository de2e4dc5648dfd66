// How the inks of a cell look on paper, for the screen. The eight inks are
// reduced to four coverages, each light ink a diluted dark ink (light cyan
// and light magenta 30 %, light black 50 %, light-light black 17 % of their
// dark ink, the densities the driver separates with), and the four print
// as the press model that the default output profile is built from (each
// ink's tone value increase, then the mixture of the sixteen solid
// overprints). It is seen in sRGB as colour-managed screens show printed
// colour: relative to the paper with the black point compensated (bare
// paper is white, the darkest the press prints is black), so what the press
// cannot print (a screen's pure blue, say) shows as the duller colour it
// prints.
#pragma once

#include <cstdint>

#include "libs/escdecode/dot_pages.h"

namespace escp {

// Coverage of each ink 0..1 (more is taken as full).
void printedColour(const double coverage[kPlanes], uint8_t rgb[3]);

// The same inks as plain CIELAB (D50, relative to the paper: bare paper is
// L 100), nothing compensated: how far a print is from the picture it was
// made of is measured in this.
void printedLab(const double coverage[kPlanes], double lab[3]);

}  // namespace escp
