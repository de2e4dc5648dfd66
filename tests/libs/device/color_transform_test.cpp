#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "Device.h"
#include "PFLink.h"
#include "libs/device/color_transform.h"

namespace {

// Linear in its inputs: grid interpolation must reproduce it (to rounding).
int linearConvert(int32_t* v) {
  int32_t r = v[0], g = v[1], b = v[2], k = v[3];
  v[0] = 4080 - r;
  v[1] = (4080 - g) / 2;
  v[2] = (4080 - b + 4080 - r) / 2;
  v[3] = k;
  return 1;
}

int g_calls;
int countingConvert(int32_t* v) {
  ++g_calls;
  return linearConvert(v);
}

// Bends and overshoots the scale: results are clamped to 0..4080.
int curvedConvert(int32_t* v) {
  int32_t r = v[0], g = v[1], b = v[2];
  v[0] = (4080 - r) * (4080 - r) / 4080;
  v[1] = 5000 - g;
  v[2] = b / 3 - 100;
  v[3] = (r + g + b) / 3;
  return 1;
}

ColorProfile profileWithMode(int mode) {
  ColorProfile p;
  jColorProfileInit(&p);
  p.colorMode = mode;
  return p;
}

TEST(ColorTransform, RgbGridFollowsALinearConversion) {
  ColorProfile p = profileWithMode(0);
  g_calls = 0;
  jCMS cms = jColorCmsSetupEx(&p, countingConvert);
  ASSERT_NE(nullptr, cms);
  EXPECT_EQ(17 * 17 * 17, g_calls);
  for (int r = 0; r <= 255; r += 15)
    for (int g = 0; g <= 255; g += 17)
      for (int b = 0; b <= 255; b += 51) {
        int32_t v[4] = {r, g, b, 0};
        ASSERT_EQ(1, jPFLinkCOLtoCMYK16(cms, v));
        int32_t want[4] = {r * 16, g * 16, b * 16, 0};
        linearConvert(want);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(want[k], v[k], 1) << r << "," << g << "," << b << " out " << k;
      }
  EXPECT_EQ(1, jColorCmsRelease(cms));
}

TEST(ColorTransform, CmykGridTakesTheComplementAndBlack) {
  ColorProfile p = profileWithMode(254);
  g_calls = 0;
  jCMS cms = jColorCmsSetupEx(&p, countingConvert);
  ASSERT_NE(nullptr, cms);
  EXPECT_EQ(17 * 17 * 17 * 17, g_calls);
  int32_t v[4] = {255, 0, 0, 255};  // cyan with full black
  ASSERT_EQ(1, jPFLinkCOLtoCMYK16(cms, v));
  EXPECT_EQ(4080, v[0]);
  EXPECT_EQ(0, v[1]);
  EXPECT_EQ(2040, v[2]);
  EXPECT_EQ(4080, v[3]);
  int32_t mid[4] = {100, 50, 200, 30};
  ASSERT_EQ(1, jPFLinkCOLtoCMYK16(cms, mid));
  EXPECT_NEAR(1600, mid[0], 1);
  EXPECT_NEAR(400, mid[1], 1);
  EXPECT_NEAR(2400, mid[2], 1);
  EXPECT_NEAR(480, mid[3], 1);
  jColorCmsRelease(cms);
}

// Integer interpolation: these values are the same on every target.
TEST(ColorTransform, CurvedConversionGivesFixedClampedValues) {
  ColorProfile p = profileWithMode(0);
  jCMS cms = jColorCmsSetupEx(&p, curvedConvert);
  ASSERT_NE(nullptr, cms);
  struct Case {
    int32_t in[3];
    int32_t out[4];
  } cases[] = {
      {{0, 0, 0}, {4080, 4080, 0, 0}},
      {{255, 255, 255}, {0, 920, 1260, 4080}},
      {{37, 200, 129}, {2985, 1800, 588, 1952}},
      {{-20, 300, 128}, {4080, 920, 583, 2043}},
  };
  for (const Case& c : cases) {
    int32_t v[4] = {c.in[0], c.in[1], c.in[2], 0};
    ASSERT_EQ(1, jPFLinkCOLtoCMYK16(cms, v));
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(c.out[k], v[k]) << c.in[0] << "," << c.in[1] << "," << c.in[2] << " out " << k;
  }
  jColorCmsRelease(cms);
}

// The interpolation written plainly, straight from its definition: cells
// and fractions per channel, a stable sort by fraction, the corner walk with
// 64-bit sums and one rounded division.
void plainInterpolation(const jColorTransform_& t, int32_t* values) {
  const int n = t.inputs;
  int cell[4], fraction[4], order[4];
  for (int c = 0; c < n; ++c) {
    const int v = values[c] < 0 ? 0 : values[c] > 255 ? 255 : values[c];
    cell[c] = v * 16 / 255;
    fraction[c] = v * 16 % 255;
    if (cell[c] == 16) cell[c] = 15, fraction[c] = 255;
    order[c] = c;
  }
  for (int i = 0; i < n; ++i)
    for (int j = 0; j + 1 < n - i; ++j)
      if (fraction[order[j + 1]] > fraction[order[j]]) std::swap(order[j], order[j + 1]);
  int stride[4] = {1, 1, 1, 1};
  for (int c = n - 2; c >= 0; --c) stride[c] = stride[c + 1] * 17;
  int corner = 0;
  for (int c = 0; c < n; ++c) corner += cell[c] * stride[c];
  int64_t sum[4] = {};
  int previous = 255;
  for (int step = 0; step <= n; ++step) {
    const int next = step < n ? fraction[order[step]] : 0;
    for (int k = 0; k < 4; ++k) sum[k] += int64_t{previous - next} * t.grid[corner * 4 + k];
    if (step < n) corner += stride[order[step]];
    previous = next;
  }
  for (int k = 0; k < 4; ++k) values[k] = static_cast<int32_t>((sum[k] + 127) / 255);
}

// Nodes of unrelated values from node to node, a sixth of them beyond
// either end of the scale (clamped): the largest sums and steps a grid can
// have, and sums of every remainder for the rounding.
int noiseConvert(int32_t* v) {
  uint32_t h = static_cast<uint32_t>(v[0] * 7 + v[1] * 13 + v[2] * 29 + v[3] * 31) / 255 * 2654435761u;
  for (int k = 0; k < 4; ++k) {
    h = h * 1664525u + 1013904223u;
    v[k] = static_cast<int32_t>(h >> 19) % 4900 - 410;
  }
  return 1;
}

// On a curved and on a noise grid, RGB and CMYK: edge inputs (cell
// borders and their neighbours, the ends, values outside) in every
// combination, which ties fractions wherever two channels are equal, then a
// lattice and random inputs. The library's results are the plain ones
// exactly.
TEST(ColorTransform, InterpolationIsThePlainOneExactly) {
  const int32_t kEdges[] = {-5, 0, 1, 15, 16, 17, 31, 32, 33, 127, 128, 129, 239, 240, 241, 254, 255, 300};
  constexpr int kEdgeCount = sizeof kEdges / sizeof kEdges[0];
  const struct {
    int mode;
    jColorConvertFunc convert;
    int latticeStep;
  } kGrids[] = {{0, curvedConvert, 5}, {0, noiseConvert, 5}, {254, curvedConvert, 17}, {254, noiseConvert, 17}};
  for (const auto& grid : kGrids) {
    ColorProfile p = profileWithMode(grid.mode);
    jCMS cms = jColorCmsSetupEx(&p, grid.convert);
    ASSERT_NE(nullptr, cms);
    const int n = grid.mode == 254 ? 4 : 3;
    std::vector<std::array<int32_t, 4>> inputs;
    auto addCombinations = [&](const std::vector<int32_t>& set) {
      const int size = static_cast<int>(set.size());
      int total = 1;
      for (int c = 0; c < n; ++c) total *= size;
      for (int i = 0; i < total; ++i) {
        int rest = i;
        std::array<int32_t, 4> in{};
        for (int c = 0; c < n; ++c, rest /= size) in[static_cast<size_t>(c)] = set[static_cast<size_t>(rest % size)];
        inputs.push_back(in);
      }
    };
    addCombinations(std::vector<int32_t>(kEdges, kEdges + kEdgeCount));
    std::vector<int32_t> lattice;
    for (int v = 0; v < 255; v += grid.latticeStep) lattice.push_back(v);
    lattice.push_back(255);
    addCombinations(lattice);
    uint32_t seed = 12345;
    for (int i = 0; i < 100000; ++i) {
      std::array<int32_t, 4> in{};
      for (int c = 0; c < n; ++c) {
        seed = seed * 1664525u + 1013904223u;
        in[static_cast<size_t>(c)] = static_cast<int32_t>(seed >> 24);
      }
      inputs.push_back(in);
    }
    for (const auto& in : inputs) {
      int32_t got[4] = {in[0], in[1], in[2], in[3]};
      int32_t want[4] = {in[0], in[1], in[2], in[3]};
      ASSERT_EQ(1, jPFLinkCOLtoCMYK16(cms, got));
      plainInterpolation(*cms, want);
      for (int k = 0; k < 4; ++k)
        ASSERT_EQ(want[k], got[k]) << "mode " << grid.mode << " in " << in[0] << "," << in[1] << "," << in[2] << ","
                                   << in[3] << " out " << k;
    }
    jColorCmsRelease(cms);
  }
}

TEST(ColorTransform, RefusesMissingPartsAndForeignHandles) {
  ColorProfile p = profileWithMode(0);
  EXPECT_EQ(nullptr, jColorCmsSetupEx(&p, nullptr));
  EXPECT_EQ(nullptr, jColorCmsSetupEx(nullptr, linearConvert));
  int32_t v[4] = {};
  EXPECT_EQ(0, jPFLinkCOLtoCMYK16(nullptr, v));
  int foreign[16] = {};
  EXPECT_EQ(0, jPFLinkCOLtoCMYK16(reinterpret_cast<jCMS>(foreign), v));
  EXPECT_EQ(0, jColorCmsRelease(nullptr));
}

}  // namespace
