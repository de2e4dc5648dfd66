// Page and band rectangles in dots: bleed, units, truncation, refusal of
// rectangles that are no rectangles, and clipping.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "driver/raster/page_geometry.h"

namespace {

using rx3::DotRect;
using rx3::UnitRect;

DeviceRecord machine(int x, int y, int inchUnits) {
  DeviceRecord r{};
  r.xResolution = x;
  r.yResolution = y;
  r.inchUnits = inchUnits;
  return r;
}

DotRect dots(const DeviceRecord& r, int mode, UnitRect u) {
  DotRect d{-1, -1, -1, -1};
  EXPECT_TRUE(rx3::toDots(r, mode, u, &d));
  return d;
}

TEST(PageGeometry, BorderlessLeftAndRightWidensA100MillimetrePageTo106) {
  const DeviceRecord r = machine(720, 720, 0);
  const DotRect d = dots(r, 1, UnitRect{0, 0, 100, 50});
  EXPECT_EQ(static_cast<int>(-3 * 720 / 25.4), d.x0);
  EXPECT_EQ(static_cast<int>(103 * 720 / 25.4), d.x1);
  EXPECT_EQ(0, d.y0);
  EXPECT_EQ(static_cast<int>(50 * 720 / 25.4f), d.y1) << "height unchanged";
  EXPECT_NEAR(106 * 720 / 25.4, d.x1 - d.x0, 1.0);
}

TEST(PageGeometry, TheBleedIsThreeMillimetresInEveryUnit) {
  // 3 mm are 85 dots at 720 dpi and 170 at 1440, whether the page comes in
  // millimetres or in inches.
  struct Case {
    int xRes, yRes, inchUnits, mode;
    UnitRect page;
    DotRect want;
  } cases[] = {
      {720, 720, 1, 2, {1, 1, 2, 2}, {635, 635, 1525, 1525}},
      {720, 720, 1, 3, {1, 1, 2, 2}, {635, 635, 1525, 1525}},
      {1440, 720, 1, 1, {0, 0, 0.5f, 1}, {-170, 0, 890, 720}},
      {1440, 720, 0, 2, {0, 0, 25.4f, 25.4f}, {-170, -85, 1609, 805}},
      {720, 720, 1, 0, {1, 1, 2, 2}, {720, 720, 1440, 1440}},
  };
  for (const Case& c : cases) {
    const DotRect d = dots(machine(c.xRes, c.yRes, c.inchUnits), c.mode, c.page);
    EXPECT_EQ(c.want.x0, d.x0) << c.mode << " " << c.inchUnits;
    EXPECT_EQ(c.want.y0, d.y0) << c.mode << " " << c.inchUnits;
    EXPECT_EQ(c.want.x1, d.x1) << c.mode << " " << c.inchUnits;
    EXPECT_EQ(c.want.y1, d.y1) << c.mode << " " << c.inchUnits;
  }
}

TEST(PageGeometry, BandsBleedOnlyAtThePagesOuterEdges) {
  const DeviceRecord r = machine(720, 720, 1);
  DotRect page;
  ASSERT_TRUE(rx3::toDots(r, 2, UnitRect{0, 0, 1, 1}, &page));  // -85 .. 805
  struct Case {
    UnitRect band;
    int32_t y0, y1;
  } cases[] = {
      {{0, 0.5f, 1, 1}, 360, 805},       // first band: its top only
      {{0, 0.25f, 1, 0.5f}, 180, 360},   // a middle band: neither
      {{0, 0, 1, 0.25f}, -85, 180},      // last band: its bottom only
      {{0, 0, 1, 1}, -85, 805},          // one band: both
      {{0, 1.1f, 1, 1.5f}, 720, 720},    // wholly above the page: nothing
      {{0, -0.5f, 1, -0.1f}, 0, 0},      // wholly below: nothing
      {{0, 0.5f, 1, 1.5f}, 360, 805},    // beyond the top: limited, then bled
      {{0, -0.5f, 1, 0.25f}, -85, 180},  // beyond the bottom: the same
  };
  for (const Case& c : cases) {
    DotRect d{};
    ASSERT_TRUE(rx3::bandToDots(r, 2, c.band, page, &d));
    EXPECT_EQ(-85, d.x0) << "left and right bleed on every band";
    EXPECT_EQ(805, d.x1);
    EXPECT_EQ(c.y0, d.y0) << c.band.y0;
    EXPECT_EQ(c.y1, d.y1) << c.band.y1;
  }
}

TEST(PageGeometry, MillimetresScaleByTheResolutionOver25Point4AndTruncate) {
  const DeviceRecord r = machine(1440, 720, 0);
  const DotRect d = dots(r, 0, UnitRect{-10.0f, 0.01f, 25.4f, 25.4f});
  EXPECT_EQ(static_cast<int>(-10.0 * 1440 / 25.4), d.x0) << "toward zero";
  EXPECT_EQ(0, d.y0);
  EXPECT_EQ(1439, d.x1) << "25.4f lies just below 25.4, and the double scale keeps that";
  EXPECT_EQ(720, d.y1) << "the single-precision scale rounds it back";
}

TEST(PageGeometry, RectanglesThatAreNoRectanglesAreRefused) {
  const DeviceRecord r = machine(720, 720, 0);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const UnitRect bad[] = {
      {nan, 0, 10, 10}, {0, 0, inf, 10}, {0, -inf, 10, 10}, {10, 0, 0, 10}, {0, 10, 10, 0}, {0, 0, 1e30f, 10},
  };
  for (const UnitRect& u : bad) {
    DotRect d{7, 7, 7, 7};
    EXPECT_FALSE(rx3::toDots(r, 0, u, &d)) << u.x0 << " " << u.y0 << " " << u.x1 << " " << u.y1;
    EXPECT_EQ(7, d.x0) << "output untouched";
  }
  DotRect d;
  EXPECT_FALSE(rx3::toDots(machine(0, 720, 0), 0, UnitRect{0, 0, 10, 10}, &d)) << "no resolution";
}

TEST(PageGeometry, ClippingKeepsWhatIsDrawnOnTheBandAndThePage) {
  const DotRect band{0, 100, 1000, 200};
  const DotRect page{-10, 0, 500, 1000};
  const DotRect c = rx3::clipBand(band, rx3::DrawingExtent{100, 150, 799, 999}, page);
  EXPECT_EQ(100, c.x0);
  EXPECT_EQ(150, c.y0);
  EXPECT_EQ(500, c.x1) << "page edge";
  EXPECT_EQ(200, c.y1) << "band top";
  const DotRect inclusive = rx3::clipBand(band, rx3::DrawingExtent{0, 0, 99, 119}, page);
  EXPECT_EQ(100, inclusive.x1) << "the drawing's right edge is inclusive";
  EXPECT_EQ(120, inclusive.y1);
  const DotRect none = rx3::clipBand(band, rx3::DrawingExtent{0, 300, 50, 400}, page);
  EXPECT_LE(none.y1 - none.y0, 0);
}

}  // namespace
