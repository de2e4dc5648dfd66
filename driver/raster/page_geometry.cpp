// The horizontal scale is held in double precision and the vertical one in
// single precision, as the host's rasteriser scales its own coordinates, so
// that band edges land on the same dots as the page edges.
#include "driver/raster/page_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace rx3 {
namespace {

constexpr double kInchesPerMillimetre = 0.03937007874015748;

// Dots are kept within +-2^29 so that every edge, extent and chunk step of
// the page loop stays inside 32 bits (2^29 dots are 186 km at 2880 dpi).
constexpr double kMaxDot = 536870912.0;

bool fitsDots(double v) {
  return std::isfinite(v) && v > -kMaxDot && v < kMaxDot;
}

int32_t maxOf(int32_t a, int32_t b, int32_t c) {
  int32_t m = a > b ? a : b;
  return m > c ? m : c;
}

int32_t minOf(int32_t a, int32_t b, int32_t c) {
  int32_t m = a < b ? a : b;
  return m < c ? m : c;
}

// The drawing's inclusive edge as an exclusive one, without overflow.
int32_t pastEdge(int32_t inclusive) {
  return inclusive == INT32_MAX ? INT32_MAX : inclusive + 1;
}

}  // namespace

Bleed bleedOf(const DeviceRecord& record, int marginMode) {
  const bool sides = marginMode == 1 || marginMode == 2 || marginMode == 3;
  const bool ends = marginMode == 2 || marginMode == 3;
  const auto dots = [](int32_t resolution) {
    return resolution > 0 ? static_cast<int32_t>(kBleedMillimetres * resolution * kInchesPerMillimetre) : 0;
  };
  return Bleed{sides ? dots(record.xResolution) : 0, ends ? dots(record.yResolution) : 0};
}

namespace {

// The rectangle in dots without bleed, in 64 bits for the checks.
struct WideRect {
  int64_t x0, y0, x1, y1;
};

bool scaleToDots(const DeviceRecord& record, UnitRect rect, WideRect* out) {
  if (record.xResolution <= 0 || record.yResolution <= 0) return false;
  if (!std::isfinite(rect.x0) || !std::isfinite(rect.y0) || !std::isfinite(rect.x1) || !std::isfinite(rect.y1))
    return false;
  if (rect.x1 < rect.x0 || rect.y1 < rect.y0) return false;
  double xScale = record.xResolution;
  float yScale = static_cast<float>(record.yResolution);
  if (record.inchUnits == 0) {
    xScale = record.xResolution * kInchesPerMillimetre;
    yScale = static_cast<float>(record.yResolution * kInchesPerMillimetre);
  }
  const double x0 = static_cast<double>(rect.x0) * xScale;
  const double x1 = static_cast<double>(rect.x1) * xScale;
  const float y0 = rect.y0 * yScale;
  const float y1 = rect.y1 * yScale;
  if (!fitsDots(x0) || !fitsDots(x1) || !fitsDots(y0) || !fitsDots(y1)) return false;
  *out =
      WideRect{static_cast<int64_t>(x0), static_cast<int64_t>(y0), static_cast<int64_t>(x1), static_cast<int64_t>(y1)};
  return true;
}

bool store(const WideRect& r, DotRect* out) {
  if (!fitsDots(static_cast<double>(r.x0)) || !fitsDots(static_cast<double>(r.y0)) ||
      !fitsDots(static_cast<double>(r.x1)) || !fitsDots(static_cast<double>(r.y1)))
    return false;
  *out = DotRect{static_cast<int32_t>(r.x0), static_cast<int32_t>(r.y0), static_cast<int32_t>(r.x1),
                 static_cast<int32_t>(r.y1)};
  return true;
}

}  // namespace

bool toDots(const DeviceRecord& record, int marginMode, UnitRect rect, DotRect* out) {
  WideRect r;
  if (!scaleToDots(record, rect, &r)) return false;
  const Bleed bleed = bleedOf(record, marginMode);
  return store(WideRect{r.x0 - bleed.x, r.y0 - bleed.y, r.x1 + bleed.x, r.y1 + bleed.y}, out);
}

bool bandToDots(const DeviceRecord& record, int marginMode, UnitRect rect, const DotRect& page, DotRect* out) {
  WideRect r;
  if (!scaleToDots(record, rect, &r)) return false;
  const Bleed bleed = bleedOf(record, marginMode);
  r.x0 -= bleed.x;
  r.x1 += bleed.x;
  // Limited to the page first: a band beyond the page's top or bottom holds
  // no line of it, and must neither print a bleed again nor take one away.
  const int64_t top = static_cast<int64_t>(page.y1) - bleed.y;
  const int64_t bottom = static_cast<int64_t>(page.y0) + bleed.y;
  r.y0 = std::clamp(r.y0, bottom, top);
  r.y1 = std::clamp(r.y1, bottom, top);
  if (r.y1 > r.y0) {
    if (r.y1 == top) r.y1 += bleed.y;
    if (r.y0 == bottom) r.y0 -= bleed.y;
  }
  return store(r, out);
}

DotRect clipBand(const DotRect& band, const DrawingExtent& drawing, const DotRect& page) {
  return DotRect{maxOf(drawing.x0, band.x0, page.x0), maxOf(drawing.y0, band.y0, page.y0),
                 minOf(pastEdge(drawing.x1), band.x1, page.x1), minOf(pastEdge(drawing.y1), band.y1, page.y1)};
}

}  // namespace rx3
