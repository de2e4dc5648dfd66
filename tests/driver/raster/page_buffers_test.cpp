#include "driver/raster/page_buffers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "Base.h"
#include "raster_page.h"

namespace {

using raster_test::PageState;

TEST(PageBuffers, RowBytesRoundUpToGroupsOfEightDots) {
  struct Case {
    int width, rowBytes;
  } cases[] = {{1, 2}, {8, 2}, {9, 4}, {16, 4}, {17, 6}, {10000, 2500}};
  for (const Case& c : cases) {
    PageState page(c.width);
    EXPECT_EQ(c.rowBytes, page.engine().rowBytes) << c.width;
    // The whole of each buffer is there (ASan watches the ends).
    std::memset(page.engine().dotPlanes, 0xFF, static_cast<size_t>(c.rowBytes) * 8);
    std::memset(page.engine().packBuffer, 0xFF, static_cast<size_t>(c.rowBytes) * 2);
    std::memset(page.engine().separation, 0x11, static_cast<size_t>(c.width) * 32);
  }
}

TEST(PageBuffers, StartValues) {
  PageState page(20, 0);
  EngineState& e = page.engine();
  EXPECT_EQ(20, e.pageWidth);
  EXPECT_EQ(100, e.pageHeight);
  EXPECT_EQ(0, e.lineParity);
  EXPECT_EQ(0, e.noisePos);
  for (int i = 0; i < 22; ++i)
    for (int j = 0; j < 8; ++j) ASSERT_EQ((i % 8) * 16 + 128, e.errorLine[i * 8 + j]) << "group " << i;
  for (int j = 0; j < 8; ++j) {
    EXPECT_EQ(300, e.carries[j]);
    EXPECT_EQ(0u, e.pageInk[j]);
  }
  for (int i = 0; i < 20 * 16; ++i) ASSERT_EQ(0, e.separation[i]);
}

TEST(PageBuffers, PageInkStartsAtZeroOnEveryPage) {
  PageState page(4);
  for (uint64_t& ink : page.engine().pageInk) ink = 77;
  ASSERT_EQ(1, rx3::setupPageBuffers(page.state.get(), 4, 10));
  for (uint64_t ink : page.engine().pageInk) EXPECT_EQ(0u, ink);
}

TEST(PageBuffers, DropletVolumesFollowTheHorizontalResolution) {
  struct Case {
    int xResolution, small, medium, large;
  } cases[] = {{360, 13, 26, 39}, {720, 4, 9, 22}, {1440, 4, 9, 22}, {2880, 4, 4, 4}};
  for (const Case& c : cases) {
    PageState page(10, 0, c.xResolution);
    EXPECT_EQ(c.small, page.engine().dropletSmall) << c.xResolution;
    EXPECT_EQ(c.medium, page.engine().dropletMedium) << c.xResolution;
    EXPECT_EQ(c.large, page.engine().dropletLarge) << c.xResolution;
  }
}

TEST(PageBuffers, RefusesSizesItCannotHoldAndKeepsNothing) {
  const int blocksBefore = jMemCheck();
  struct Case {
    int width, height;
  } cases[] = {{0, 10}, {-1, 10}, {10, 0}, {10, -5}, {INT_MAX, 10}, {196593, 10}, {INT_MIN, INT_MIN}};
  for (const Case& c : cases) {
    std::unique_ptr<MachineState> state(new MachineState());
    std::memset(state.get(), 0, sizeof(MachineState));
    state->engine.printing = 1;
    EXPECT_EQ(0, rx3::setupPageBuffers(state.get(), c.width, c.height)) << c.width << " x " << c.height;
    EngineState& e = state->engine;
    EXPECT_TRUE(!e.separation && !e.errorLine && !e.dotPlanes && !e.packBuffer && !e.noise);
    EXPECT_EQ(1, e.printing);
  }
  EXPECT_EQ(blocksBefore, jMemCheck());
  EXPECT_EQ(0, rx3::setupPageBuffers(nullptr, 10, 10));
}

TEST(PageBuffers, WidestPageIsTaken) {
  PageState page(196592);
  EXPECT_EQ(49148, page.engine().rowBytes);
}

TEST(PageBuffers, ReleaseFreesAllAndLeavesThePrintingFlag) {
  const int blocksBefore = jMemCheck();
  {
    PageState page(30);
    page.engine().printing = 1;
    EXPECT_EQ(blocksBefore + 5, jMemCheck());
    // A second set-up without a release reuses nothing and leaks nothing.
    ASSERT_EQ(1, rx3::setupPageBuffers(page.state.get(), 40, 10));
    EXPECT_EQ(blocksBefore + 5, jMemCheck());
    EXPECT_EQ(1, rx3::releasePageBuffers(page.state.get()));
    EngineState& e = page.engine();
    EXPECT_TRUE(!e.separation && !e.errorLine && !e.dotPlanes && !e.packBuffer && !e.noise);
    EXPECT_EQ(1, e.printing);
    EXPECT_EQ(1, rx3::releasePageBuffers(page.state.get()));
  }
  EXPECT_EQ(blocksBefore, jMemCheck());
}

std::vector<int8_t> noiseOf(uint32_t seed) {
  std::vector<int8_t> table(rx3::kNoiseTableSize);
  rx3::fillNoiseTable(table.data(), seed);
  return table;
}

TEST(PageBuffers, NoiseTableIsTheSameOnEveryTarget) {
  const std::vector<int8_t> one = noiseOf(1);
  EXPECT_EQ(std::vector<int8_t>({-48, 13, -44, -53, 23, 29, 11, 6}), std::vector<int8_t>(one.begin(), one.begin() + 8));
  const std::vector<int8_t> zero = noiseOf(0);
  EXPECT_EQ(std::vector<int8_t>({55, 3, -22, -28}), std::vector<int8_t>(zero.begin(), zero.begin() + 4));
  int low = 0, high = 0;
  for (int8_t r : noiseOf(99)) {
    ASSERT_GE(r, -64);
    ASSERT_LE(r, 64);
    low += r == -64;
    high += r == 64;
  }
  EXPECT_GT(low, 0);
  EXPECT_GT(high, 0);
  EXPECT_NE(noiseOf(1), noiseOf(2));
}

TEST(PageBuffers, NoiseSeedTextIsANumberOrNothing) {
  struct Case {
    const char* text;
    bool taken;
    uint32_t seed;
  } cases[] = {{"12345", true, 12345}, {"0x1F", true, 31},       {"4294967295", true, 0xFFFFFFFFu},
               {"0", true, 0},         {"4294967296", false, 0}, {"-1", false, 0},
               {" 7", false, 0},       {"7 ", false, 0},         {"12abc", false, 0},
               {"", false, 0},         {nullptr, false, 0},      {"010", true, 10},
               {"0X10", true, 16},     {"0x", false, 0},         {"0x-1", false, 0},
               {"08", true, 8}};
  for (const Case& c : cases) {
    uint32_t seed = 77;
    EXPECT_EQ(c.taken, rx3::parseNoiseSeed(c.text, &seed)) << (c.text ? c.text : "(null)");
    EXPECT_EQ(c.taken ? c.seed : 77u, seed) << (c.text ? c.text : "(null)");
  }
}

TEST(PageBuffers, FixedSeedGivesEveryPageTheSameNoise) {
  PageState a(8, 0, 720, 5);
  PageState b(8, 0, 720, 5);
  EXPECT_EQ(0, std::memcmp(a.engine().noise, b.engine().noise, rx3::kNoiseTableSize));
  EXPECT_EQ(0, std::memcmp(a.engine().noise, noiseOf(5).data(), rx3::kNoiseTableSize));
}

}  // namespace
