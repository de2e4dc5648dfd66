// The band render and the simple colour conversions.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "Device.h"

namespace {

struct Canvas {
  int32_t x0, y0, x1, y1;
  std::vector<uint8_t> pixels;
  Canvas(int32_t ax0, int32_t ay0, int32_t ax1, int32_t ay1)
      : x0(ax0), y0(ay0), x1(ax1), y1(ay1), pixels(static_cast<size_t>(ax1 - ax0) * (ay1 - ay0) * 8, 0xAA) {}
  // The rendered pixel of dot (x, y): rows run from the top (y1 - 1) down.
  const uint8_t* at(int32_t x, int32_t y) const {
    return &pixels[(static_cast<size_t>(y1 - 1 - y) * (x1 - x0) + (x - x0)) * 8];
  }
};

struct Scene {
  std::vector<jGdcItem> items;
  jGdcScene scene{};
  jGdc context{};
  Scene() { context.hasContent = 1; }
  jGdc* get() {
    scene.count = static_cast<int32_t>(items.size());
    scene.items = items.data();
    context.scene = &scene;
    return &context;
  }
  int draw(Canvas& c) { return jGdcDraw(get(), c.pixels.data(), c.x0, c.y0, c.x1, c.y1, 0); }
};

jGdcItem fill(int kind, int32_t x0, int32_t y0, int32_t x1, int32_t y1, std::initializer_list<uint8_t> color) {
  jGdcItem item{};
  item.kind = kind;
  item.x0 = x0;
  item.y0 = y0;
  item.x1 = x1;
  item.y1 = y1;
  std::memcpy(item.color, color.begin(), color.size());
  return item;
}

TEST(Render, FillsInRgbAndCmykWithTheirKindBytes) {
  Scene s;
  s.items.push_back(fill(J_GDC_RGB_FILL, 0, 0, 2, 4, {10, 20, 30}));
  s.items.push_back(fill(J_GDC_CMYK_FILL, 2, 0, 4, 4, {1, 2, 3, 4}));
  Canvas c(0, 0, 4, 4);
  ASSERT_EQ(1, s.draw(c));
  const uint8_t rgb[8] = {10, 20, 30, 0, 0, 0, 0, 0xFF};
  const uint8_t cmyk[8] = {4, 1, 2, 3, 0, 0, 0, 0xFE};
  EXPECT_EQ(0, std::memcmp(rgb, c.at(1, 3), 8));
  EXPECT_EQ(0, std::memcmp(cmyk, c.at(2, 0), 8)) << "black first, then cyan, magenta, yellow";
}

TEST(Render, TopRowComesFirstAndUncoveredDotsAreNothingDrawn) {
  Scene s;
  s.items.push_back(fill(J_GDC_RGB_FILL, 0, 5, 3, 6, {1, 1, 1}));  // only the top row of the area
  Canvas c(0, 0, 3, 6);
  ASSERT_EQ(1, s.draw(c));
  for (int x = 0; x < 3; ++x) EXPECT_EQ(0xFF, c.pixels[x * 8 + 7]);
  for (size_t i = 3 * 8; i < c.pixels.size(); ++i) ASSERT_EQ(0, c.pixels[i]) << "byte " << i;
}

TEST(Render, ImagesArePlacedNearestNeighbourAndClippedToTheArea) {
  // A 2 x 2 image, top row red, green; bottom row blue, white; placed on
  // 4 x 4 dots at (10, 20).
  const uint8_t image[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  jGdcItem item{};
  item.kind = J_GDC_RGB_IMAGE;
  item.x0 = 10;
  item.y0 = 20;
  item.x1 = 14;
  item.y1 = 24;
  item.width = 2;
  item.height = 2;
  item.pixels = image;
  Scene s;
  s.items.push_back(item);
  Canvas c(9, 19, 13, 23);  // cuts the image's right column and top row
  ASSERT_EQ(1, s.draw(c));
  EXPECT_EQ(0, c.at(9, 22)[7]) << "left of the image";
  EXPECT_EQ(255, c.at(10, 22)[0]) << "top half: red";
  EXPECT_EQ(255, c.at(12, 22)[1]) << "top half, right: green";
  EXPECT_EQ(255, c.at(11, 21)[2]) << "bottom half: blue";
  EXPECT_EQ(0, c.at(11, 21)[0]);
  EXPECT_EQ(255, c.at(12, 20)[0]) << "bottom right: white";
  EXPECT_EQ(0, c.at(12, 19)[7]) << "below the image";
}

// Every dot of a placed image takes the source pixel of the sampling
// formula, at any scale and clipped on either side, in both colour kinds.
TEST(Render, EveryDotTakesTheSourcePixelOfTheSamplingFormula) {
  struct Case {
    int32_t width, height;       // source pixels
    int32_t placedX0, placedX1;  // placed columns
    int32_t areaX0, areaX1;      // columns asked for
  } cases[] = {
      {7, 3, 5, 12, 0, 20},    // 1:1
      {7, 3, 5, 30, 9, 27},    // enlarged, clipped both sides
      {61, 4, -3, 10, 0, 10},  // reduced by a fraction, clipped left
      {300, 2, 0, 3, -2, 5},   // reduced a hundredfold
      {5, 5, 100, 117, 101, 116},
      {7, 2, -1073741824, 1073741823, 153391685, 153391693},  // widest in 32-bit steps, a pixel edge
      {300, 2, INT32_MIN + 10, INT32_MAX - 10, -3, 3},        // wider: 64-bit steps, a pixel edge at 0
  };
  for (const Case& k : cases)
    for (int kind : {J_GDC_RGB_IMAGE, J_GDC_CMYK_IMAGE}) {
      const int bytes = kind == J_GDC_RGB_IMAGE ? 3 : 4;
      std::vector<uint8_t> image(static_cast<size_t>(k.width) * k.height * bytes);
      for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 37 + i / 251);
      jGdcItem item{};
      item.kind = kind;
      item.x0 = k.placedX0;
      item.x1 = k.placedX1;
      item.y0 = 0;
      item.y1 = 5;
      item.width = k.width;
      item.height = k.height;
      item.pixels = image.data();
      Scene s;
      s.items.push_back(item);
      Canvas c(k.areaX0, 0, k.areaX1, 5);
      ASSERT_EQ(1, s.draw(c));
      for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = k.areaX0; x < k.areaX1; ++x) {
          const bool inside = x >= item.x0 && x < item.x1;
          ASSERT_EQ(inside ? (bytes == 3 ? 0xFF : 0xFE) : 0, c.at(x, y)[7]) << x << "," << y;
          if (!inside) continue;
          const int64_t sx = (int64_t{x} - item.x0) * item.width / (int64_t{item.x1} - item.x0);
          const int64_t sy = (int64_t{item.y1} - 1 - y) * item.height / (item.y1 - item.y0);
          const uint8_t* src = &image[static_cast<size_t>((sy * item.width + sx) * bytes)];
          const uint8_t want[3] = {bytes == 3 ? src[0] : src[3], bytes == 3 ? src[1] : src[0],
                                   bytes == 3 ? src[2] : src[1]};
          ASSERT_EQ(0, std::memcmp(want, c.at(x, y), 3))
              << "case " << k.width << "/" << int64_t{k.placedX1} - k.placedX0 << " kind " << kind << " at " << x << ","
              << y;
        }
    }
}

TEST(Render, AreasAtTheEdgesOfTheIntegerRangeEndTheirRows) {
  Scene s;
  s.items.push_back(fill(J_GDC_RGB_FILL, INT32_MIN, INT32_MIN, INT32_MIN + 2, INT32_MIN + 3, {7, 7, 7}));
  s.items.push_back(fill(J_GDC_RGB_FILL, INT32_MAX - 2, INT32_MAX - 3, INT32_MAX, INT32_MAX, {9, 9, 9}));
  Canvas low(INT32_MIN, INT32_MIN, INT32_MIN + 2, INT32_MIN + 3);
  ASSERT_EQ(1, s.draw(low));
  EXPECT_EQ(7, low.at(INT32_MIN, INT32_MIN)[0]);
  Canvas high(INT32_MAX - 2, INT32_MAX - 3, INT32_MAX, INT32_MAX);
  ASSERT_EQ(1, s.draw(high));
  EXPECT_EQ(9, high.at(INT32_MAX - 1, INT32_MAX - 1)[0]);
}

// Only the dots no item covers are cleared: whatever the buffer held
// before, every dot ends as painted or nothing drawn. Random layouts with
// overlaps, gaps, items reaching past the area and malformed items.
TEST(Render, EveryDotIsPaintedOrClearedWhateverTheBufferHeld) {
  std::mt19937 rng(11);
  auto coordinate = [&rng] { return static_cast<int32_t>(rng() % 40) - 10; };
  for (int trial = 0; trial < 300; ++trial) {
    Scene s;
    const int items = static_cast<int>(rng() % 6);
    for (int i = 0; i < items; ++i) {
      const int32_t x0 = coordinate(), y0 = coordinate();
      const int32_t x1 = rng() % 8 == 0 ? x0 - 1 : x0 + 1 + static_cast<int32_t>(rng() % 20);  // some malformed
      const int32_t y1 = y0 + 1 + static_cast<int32_t>(rng() % 20);
      s.items.push_back(fill(rng() % 2 ? J_GDC_RGB_FILL : J_GDC_CMYK_FILL, x0, y0, x1, y1, {1, 2, 3, 4}));
    }
    Canvas clean(0, 0, 17, 13), dirty(0, 0, 17, 13);
    std::fill(clean.pixels.begin(), clean.pixels.end(), 0);
    ASSERT_EQ(1, s.draw(clean));
    ASSERT_EQ(1, s.draw(dirty));
    ASSERT_EQ(clean.pixels, dirty.pixels) << "trial " << trial;
  }
}

TEST(Render, LaterItemsPaintOverEarlierOnes) {
  Scene s;
  s.items.push_back(fill(J_GDC_RGB_FILL, 0, 0, 4, 4, {9, 9, 9}));
  s.items.push_back(fill(J_GDC_CMYK_FILL, 1, 1, 2, 2, {0, 0, 0, 255}));
  Canvas c(0, 0, 4, 4);
  ASSERT_EQ(1, s.draw(c));
  EXPECT_EQ(0xFE, c.at(1, 1)[7]);
  EXPECT_EQ(0xFF, c.at(0, 0)[7]);
}

TEST(Render, MalformedItemsAreSkippedNeverRead) {
  jGdcItem noPixels{};
  noPixels.kind = J_GDC_CMYK_IMAGE;
  noPixels.x1 = noPixels.y1 = 4;
  noPixels.width = noPixels.height = 100;  // and no pixels behind it
  Scene s;
  s.items.push_back(noPixels);
  s.items.push_back(fill(J_GDC_RGB_FILL, 3, 0, 1, 4, {1, 2, 3}));  // inverted
  s.items.push_back(fill(77, 0, 0, 4, 4, {1, 2, 3}));              // unknown kind
  Canvas c(0, 0, 4, 4);
  ASSERT_EQ(1, s.draw(c));
  for (uint8_t b : c.pixels) ASSERT_EQ(0, b);
}

TEST(Render, BadRequestsAreRefusedAndLeaveTheBufferAlone) {
  Scene s;
  s.items.push_back(fill(J_GDC_RGB_FILL, 0, 0, 4, 4, {1, 2, 3}));
  Canvas c(0, 0, 4, 4);
  jGdc* context = s.get();
  EXPECT_EQ(0, jGdcDraw(context, c.pixels.data(), 4, 0, 0, 4, 0)) << "inverted";
  EXPECT_EQ(0, jGdcDraw(context, c.pixels.data(), 0, 0, 4, 0, 0)) << "empty";
  EXPECT_EQ(0, jGdcDraw(context, c.pixels.data(), 0, 0, 2000000000, 2000000000, 0)) << "oversized";
  EXPECT_EQ(0, jGdcDraw(nullptr, c.pixels.data(), 0, 0, 4, 4, 0));
  EXPECT_EQ(0, jGdcDraw(context, nullptr, 0, 0, 4, 4, 0));
  for (uint8_t b : c.pixels) ASSERT_EQ(0xAA, b);
}

TEST(Render, AContextWithoutContentDrawsNothing) {
  Scene s;
  s.items.push_back(fill(J_GDC_RGB_FILL, 0, 0, 4, 4, {1, 2, 3}));
  s.get()->hasContent = 0;
  Canvas c(0, 0, 4, 4);
  ASSERT_EQ(1, jGdcDraw(&s.context, c.pixels.data(), 0, 0, 4, 4, 0));
  for (uint8_t b : c.pixels) ASSERT_EQ(0, b);
}

TEST(Conversions, PackCyanHighAndRedLow) {
  EXPECT_EQ(0x00FFFF00u, jColorRGBtoCMYK(255, 0, 0)) << "red: magenta and yellow";
  EXPECT_EQ(0x000000FFu, jColorRGBtoCMYK(0, 0, 0)) << "black goes wholly into black";
  EXPECT_EQ(0x00000000u, jColorRGBtoCMYK(255, 255, 255));
  EXPECT_EQ(0x80000040u, jColorRGBtoCMYK(63, 191, 191));
  EXPECT_EQ(0x00FFFF00u, jColorCMYKtoRGB(255, 0, 0, 0)) << "cyan: green and blue";
  EXPECT_EQ(0x00000000u, jColorCMYKtoRGB(0, 0, 0, 255));
  EXPECT_EQ(0x00FFFFFFu, jColorCMYKtoRGB(0, 0, 0, 0));
  EXPECT_EQ(0x000000FFu, jColorCMYKtoRGB(-5, 300, 999, 0)) << "inputs clamp, never wrap";
}

}  // namespace
