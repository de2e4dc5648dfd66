#include "driver/raster/separation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "driver/machines/exports.h"
#include "driver/raster/band_convert.h"
#include "raster_page.h"

namespace {

using Eight = std::array<int16_t, 8>;
using Four = std::array<int16_t, 4>;

rx3::SeparationParams documentParams() {
  MachineState state;
  std::memset(&state, 0, sizeof state);
  raster_test::setDocumentDefaults(&state);
  return rx3::separationParams(state.engine);
}

Eight eight(int c, int m, int y, int k, const rx3::SeparationParams& params = documentParams()) {
  const int16_t device[4] = {static_cast<int16_t>(c), static_cast<int16_t>(m), static_cast<int16_t>(y),
                             static_cast<int16_t>(k)};
  Eight inks;
  inks.fill(-1);
  rx3::separateEight(params, device, inks.data());
  return inks;
}

Four four(int c, int m, int y, int k) {
  const int16_t device[4] = {static_cast<int16_t>(c), static_cast<int16_t>(m), static_cast<int16_t>(y),
                             static_cast<int16_t>(k)};
  Four inks;
  rx3::separateFour(documentParams(), device, inks.data());
  return inks;
}

TEST(Separation, DocumentLimitIs6400) {
  EXPECT_EQ(6400, documentParams().limit);
}

// Planes: cyan, magenta, yellow, black, light cyan, light magenta, light
// black, light-light black.
TEST(Separation, EightInkCases) {
  struct Case {
    const char* what;
    int c, m, y, k;
    Eight inks;
  } cases[] = {
      {"over the limit: common part into black", 2000, 2000, 2000, 2000, {1200, 1200, 1200, 2800, 0, 0, 0, 0}},
      {"pure cyan", 4080, 0, 0, 0, {3086, 0, 0, 0, 3313, 0, 0, 0}},
      {"light cyan saturates", 3000, 0, 0, 0, {1776, 0, 0, 0, 4080, 0, 0, 0}},
      {"light black only", 0, 0, 0, 100, {0, 0, 0, 0, 0, 0, 0, 588}},
      {"light-light black saturates", 0, 0, 0, 1000, {0, 0, 0, 0, 0, 0, 614, 4080}},
      {"light black saturates", 0, 0, 0, 3000, {0, 0, 0, 960, 0, 0, 4080, 0}},
      {"little headroom: black keeps most", 2000, 2000, 0, 1500, {1860, 1860, 0, 1255, 466, 466, 490, 0}},
      {"yellow alone has no light ink", 0, 0, 3000, 0, {0, 0, 3000, 0, 0, 0, 0, 0}},
      {"exactly at the limit stays", 1600, 1600, 1600, 1600, {1600, 1600, 1600, 1600, 0, 0, 0, 0}},
      {"black full, the rest shares what the limit leaves", 3000, 3000, 3000, 4000, {773, 773, 773, 4080, 0, 0, 0, 0}},
      {"paper", 0, 0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.inks, eight(c.c, c.m, c.y, c.k)) << c.what;
}

TEST(Separation, FourInkCases) {
  struct Case {
    const char* what;
    int c, m, y, k;
    Four inks;
  } cases[] = {
      {"under the limit: black into the primaries", 1000, 1000, 1000, 1000, {2000, 2000, 2000, 0}},
      {"under the limit: no primary beyond full", 4000, 0, 0, 2000, {4080, 80, 80, 1920}},
      {"over the limit: common part into black", 2000, 2000, 2000, 2000, {1200, 1200, 1200, 2800}},
      {"at the limit stays", 2032, 2000, 2368, 0, {2032, 2000, 2368, 0}},
      {"no black to give", 1000, 0, 0, 0, {1000, 0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.inks, four(c.c, c.m, c.y, c.k)) << c.what;
}

rx3::SeparationParams paramsAt(int percent) {
  MachineState state;
  std::memset(&state, 0, sizeof state);
  raster_test::setDocumentDefaults(&state);
  state.engine.inkLimitTotal = (percent * 255 + 50) / 100;
  return rx3::separationParams(state.engine);
}

// Grey replacement leaves overprints without a common part as they are; the
// rest over the limit comes off cyan, magenta and yellow in proportion.
TEST(Separation, OverprintsAreBroughtWithinTheLimit) {
  struct Case {
    const char* what;
    int percent;
    int c, m, y, k;
    Four inks;  // the eight-ink sets' light inks stay 0
  } cases[] = {
      {"red at 120 %", 120, 0, 4080, 4080, 0, {0, 2448, 2448, 0}},
      {"red at 157 %", 157, 0, 4080, 4080, 0, {0, 3200, 3200, 0}},
      {"blue after its grey went to black", 157, 4080, 4080, 1000, 0, {2700, 2700, 0, 1000}},
      {"an odd excess leaves no unit over", 157, 2001, 2000, 2000, 2000, {1200, 1199, 1199, 2800}},
      {"black over the limit alone keeps its tone", 60, 1000, 0, 0, 4080, {0, 0, 0, 4080}},
      {"one ink over a low limit", 60, 4080, 0, 0, 0, {2448, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const rx3::SeparationParams params = paramsAt(c.percent);
    const int16_t device[4] = {static_cast<int16_t>(c.c), static_cast<int16_t>(c.m), static_cast<int16_t>(c.y),
                               static_cast<int16_t>(c.k)};
    Four four;
    rx3::separateFour(params, device, four.data());
    EXPECT_EQ(c.inks, four) << c.what << ", four inks";
    const Eight expected = {c.inks[0], c.inks[1], c.inks[2], c.inks[3], 0, 0, 0, 0};
    EXPECT_EQ(expected, eight(c.c, c.m, c.y, c.k, params)) << c.what << ", eight inks";
  }
}

// Over a lattice of device values, no pixel's inks add up to more than the
// limit, unless black alone is over it.
TEST(Separation, NoPixelPrintsOverTheLimit) {
  const int values[] = {0, 1, 255, 1000, 2040, 3001, 4079, 4080};
  for (int percent : {40, 100, 120, 157, 250, 350})
    for (bool fourInks : {false, true}) {
      const rx3::SeparationParams params = paramsAt(percent);
      for (int c : values)
        for (int m : values)
          for (int y : values)
            for (int k : values) {
              const int16_t device[4] = {static_cast<int16_t>(c), static_cast<int16_t>(m), static_cast<int16_t>(y),
                                         static_cast<int16_t>(k)};
              int16_t inks[8] = {};
              if (fourInks)
                rx3::separateFour(params, device, inks);
              else
                rx3::separateEight(params, device, inks);
              int total = 0;
              for (int16_t v : inks) total += v;
              ASSERT_LE(total, std::max(params.limit, static_cast<int32_t>(inks[rx3::kBlack])))
                  << c << " " << m << " " << y << " " << k << " at " << percent << " %"
                  << (fourInks ? ", four inks" : ", eight inks");
            }
    }
}

TEST(Separation, ValuesOffTheScaleAreTakenAtItsEnds) {
  EXPECT_EQ(eight(0, 0, 0, 4080), eight(-300, -1, 0, 9000));
  EXPECT_EQ(four(4080, 0, 0, 0), four(20000, -5, 0, 0));
}

TEST(Separation, BrokenDensitiesFallBackInsteadOfDividingByZero) {
  MachineState state;
  std::memset(&state, 0, sizeof state);
  state.engine.inkLimitTotal = 400;
  EXPECT_EQ(eight(1000, 500, 0, 1000), eight(1000, 500, 0, 1000, rx3::separationParams(state.engine)));
  state.engine.inkLimitTotal = 2000000000;  // x 16 would overflow
  EXPECT_EQ(65535, rx3::separationParams(state.engine).limit);
}

// The row pass against the per-pixel functions: every parameter set, ink
// set and parity over a lattice of device values and random ones (off the
// scale too), in rows of lengths that leave every tail of a vector block,
// with kinds that empty, fill and keep their slots mixed.
TEST(Separation, RowGivesThePixelFunctionsInks) {
  // The last three settings with the last three pixels give a share (value
  // x headroom / total) whose first estimate lands on the next whole number.
  struct Settings {
    int32_t limit, cyan, magenta, black, lightBlack;  // limit in percent, densities in percent
  } settings[] = {
      {400, 30, 30, 50, 17},  {280, 30, 30, 50, 17},  {0, 30, 30, 50, 17},    {1, 30, 30, 50, 17},
      {20, 30, 30, 50, 17},   {5000, 30, 30, 50, 17}, {400, 1, 99, 99, 1},    {400, 99, 1, 1, 99},
      {1000, 99, 99, 99, 98}, {280, 1, 1, 1, 2},      {400, 50, 50, 50, 49},  {700, 2, 98, 2, 1},
      {4096, 99, 1, 98, 99},  {300, 0, 100, 17, 17},  {400, -7, 250, 60, 61}, {3579, 4, 5, 45, 1},
      {3621, 4, 1, 48, 1},    {3887, 4, 3, 22, 8},
  };
  const int16_t lattice[] = {-1, 0, 1, 17, 255, 1000, 2040, 3001, 4079, 4080, 4081};
  std::vector<rx3::ConvertedPixel> pixels;
  for (int16_t c : lattice)
    for (int16_t m : lattice)
      for (int16_t y : lattice)
        for (int16_t k : lattice) pixels.push_back({{c, m, y, k}, rx3::kPixelInk, 1});
  std::mt19937 random(7);
  std::uniform_int_distribution<int> onScale(0, 4080), anyValue(-32768, 32767), percent(0, 99);
  for (int i = 0; i < 20000; ++i) {
    rx3::ConvertedPixel px = {{}, rx3::kPixelInk, 1};
    for (int16_t& v : px.values) v = static_cast<int16_t>(percent(random) < 8 ? anyValue(random) : onScale(random));
    pixels.push_back(px);
  }
  // A flat area, then one that differs in black only.
  for (int i = 0; i < 64; ++i)
    pixels.push_back({{1000, 2000, 500, static_cast<int16_t>(i < 40 ? 300 : 301)}, rx3::kPixelInk, 1});
  // Kinds: ink mostly, then paper white, nothing drawn either way, and
  // kinds that keep their slot.
  const int16_t kinds[][2] = {
      {rx3::kPixelWhite, 1}, {rx3::kPixelNothing, 0}, {rx3::kPixelNothing, 1}, {rx3::kPixelInk, 0}, {2, 1}, {3, 0}};
  for (size_t i = 0; i < pixels.size(); i += 5) {
    const auto& kind = kinds[(i / 5) % 6];
    pixels[i].kind = kind[0];
    pixels[i].drawn = kind[1];
  }
  for (const rx3::ConvertedPixel& px : {rx3::ConvertedPixel{{342, 3023, 1408, 282}, rx3::kPixelInk, 1},
                                        rx3::ConvertedPixel{{3638, 2733, 2765, 359}, rx3::kPixelInk, 1},
                                        rx3::ConvertedPixel{{2507, 4067, 3630, 1388}, rx3::kPixelInk, 1}})
    pixels.push_back(px);
  const int lengths[] = {1, 3, 8, 13, 64, 255, 7, 9, 16, 31};

  for (const Settings& set : settings) {
    MachineState state;
    std::memset(&state, 0, sizeof state);
    state.engine.inkLimitTotal = set.limit;
    state.engine.lightCyanDensity = set.cyan;
    state.engine.lightMagentaDensity = set.magenta;
    state.engine.lightBlackDensity = set.black;
    state.engine.lightLightBlackDensity = set.lightBlack;
    const rx3::SeparationParams params = rx3::separationParams(state.engine);
    for (bool fourInks : {false, true}) {
      for (int parity : {0, 1}) {
        std::vector<int16_t> expected(pixels.size() * 16, 0x5A5A), slots = expected;
        for (size_t x = 0; x < pixels.size(); ++x) {
          const rx3::ConvertedPixel& px = pixels[x];
          int16_t* slot = expected.data() + (x * 2 + static_cast<size_t>(parity)) * 8;
          if (px.kind == rx3::kPixelNothing || px.drawn == 0 || px.kind == rx3::kPixelWhite) {
            std::fill(slot, slot + 8, 0);
          } else if (px.kind == rx3::kPixelInk) {
            std::fill(slot, slot + 8, 0);
            if (fourInks)
              rx3::separateFour(params, px.values, slot);
            else
              rx3::separateEight(params, px.values, slot);
          }
        }
        size_t start = 0;
        for (int row = 0; start < pixels.size(); ++row) {
          const int count = std::min<int>(lengths[row % 10], static_cast<int>(pixels.size() - start));
          rx3::separateRow(params, pixels.data() + start, count, parity, slots.data() + start * 16, fourInks);
          start += static_cast<size_t>(count);
        }
        for (size_t x = 0; x < pixels.size(); ++x) {
          const auto at = static_cast<std::ptrdiff_t>(x * 16);
          ASSERT_TRUE(std::equal(expected.begin() + at, expected.begin() + at + 16, slots.begin() + at))
              << "pixel " << pixels[x].values[0] << " " << pixels[x].values[1] << " " << pixels[x].values[2] << " "
              << pixels[x].values[3] << " kind " << pixels[x].kind << " limit " << params.limit << " densities "
              << params.lightCyanDensity << " " << params.lightMagentaDensity << " " << params.lightBlackDensity << " "
              << params.lightLightBlackDensity << (fourInks ? " four inks" : " eight inks") << " parity " << parity;
        }
      }
    }
  }
}

TEST(RgbToCmykFunc16, Conversions) {
  struct Case {
    const char* what;
    std::array<int32_t, 4> in, out;
  } cases[] = {
      {"white", {4080, 4080, 4080, 0}, {0, 0, 0, 0}},
      {"black", {0, 0, 0, 0}, {0, 0, 0, 4080}},
      {"mid grey", {2040, 2040, 2040, 0}, {0, 0, 0, 2040}},
      {"below half black: no factor", {0, 1000, 2048, 0}, {2048, 1048, 0, 2032}},
      {"factor 1.0625, truncated", {0, 1000, 2000, 0}, {2125, 1062, 0, 2080}},
      {"initial black adds, no clamping", {0, 4080, 4080, 4080}, {20272, 0, 0, 4080}},
  };
  for (const Case& c : cases) {
    std::array<int32_t, 4> values = c.in;
    EXPECT_EQ(1, RgbToCmykFunc16(values.data()));
    EXPECT_EQ(c.out, values) << c.what;
  }
}

}  // namespace
