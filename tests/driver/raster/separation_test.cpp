#include "driver/raster/separation.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "driver/machines/exports.h"
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
      {"black cannot take more than full", 3000, 3000, 3000, 4000, {2920, 2920, 2920, 4080, 0, 0, 0, 0}},
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
