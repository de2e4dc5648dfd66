// Page and band rectangles: the borderless bleed, the scaling from the
// host's units (millimetres or inches) to printer dots, and the clipping of
// a band against the drawing and the page.
#pragma once

#include <cstdint>

#include "PrintDriver.h"

namespace rx3 {

// A rectangle in the host's units, y growing upward.
struct UnitRect {
  float x0, y0, x1, y1;
};

// A rectangle in dots: left, bottom, right, top (right and top exclusive).
struct DotRect {
  int32_t x0, y0, x1, y1;
};

// How far a borderless page reaches beyond the paper on each side: 3 mm,
// whatever unit the host's coordinates are in.
constexpr double kBleedMillimetres = 3.0;

// The bleed in dots of a machine for a margin mode: x for modes 1, 2 and 3,
// y for modes 2 and 3, 0 otherwise.
struct Bleed {
  int32_t x, y;
};
Bleed bleedOf(const DeviceRecord& record, int marginMode);

// Scales a page rectangle to dots, truncating toward zero, and widens it by
// the bleed on every side the margin mode prints borderless. False for a
// rectangle that is not finite, is inverted (x1 < x0 or y1 < y0), or
// reaches 2^29 dots or more from the origin, and for a record whose
// resolutions are not positive.
bool toDots(const DeviceRecord& record, int marginMode, UnitRect rect, DotRect* out);

// The same for a band of an open page (page: the page's rectangle in dots,
// bled). Left and right are bled on every band. The band is limited to the
// page's own lines first; then its top is bled only when it reaches the
// page's own top, its bottom only when it reaches the page's own bottom, so
// that bands in a row print each line once and a band beyond the page none.
bool bandToDots(const DeviceRecord& record, int marginMode, UnitRect rect, const DotRect& page, DotRect* out);

// The drawing's extent in dots as the drawing context holds it (x1, y1
// inclusive).
struct DrawingExtent {
  int32_t x0, y0, x1, y1;
};

// The part of the band that is drawn and on the page: the largest of the
// left and bottom edges, the smallest of the right and top edges (the
// drawing's inclusive edges + 1). Width or height may come out <= 0.
DotRect clipBand(const DotRect& band, const DrawingExtent& drawing, const DotRect& page);

}  // namespace rx3
