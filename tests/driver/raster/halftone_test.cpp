#include "driver/raster/halftone.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "driver/raster/halftone_kernel.h"
#include "halftone_reference.h"
#include "raster_lines.h"
#include "raster_page.h"

namespace {

using raster_test::inkPixel;
using raster_test::nothingPixel;
using raster_test::PageState;
using raster_test::whitePixel;
using rx3::ConvertedPixel;

void halftone(PageState& page, int line, const std::vector<ConvertedPixel>& pixels, uint64_t totals[8]) {
  page.clearDots();
  if (page.state->inkSet == 2)
    rx3::halftoneLineFour(page.state.get(), line, pixels.data(), static_cast<int>(pixels.size()), totals);
  else
    rx3::halftoneLineEight(page.state.get(), line, pixels.data(), static_cast<int>(pixels.size()), totals);
}

// Both pages must hold the same engine state after a line.
void expectSamePage(PageState& fast, PageState& plain, int line) {
  EngineState& a = fast.engine();
  EngineState& b = plain.engine();
  const size_t w = static_cast<size_t>(a.pageWidth);
  ASSERT_EQ(0, std::memcmp(a.dotPlanes, b.dotPlanes, static_cast<size_t>(a.rowBytes) * 8)) << "dots of line " << line;
  ASSERT_EQ(0, std::memcmp(a.errorLine, b.errorLine, (w + 2) * 16)) << "errors after line " << line;
  ASSERT_EQ(0, std::memcmp(a.separation, b.separation, w * 32)) << "slots after line " << line;
  ASSERT_EQ(0, std::memcmp(a.carries, b.carries, sizeof a.carries)) << "carries after line " << line;
  ASSERT_EQ(a.noisePos, b.noisePos) << "line " << line;
  ASSERT_EQ(a.lineParity, b.lineParity) << "line " << line;
}

struct Content {
  const char* name;
  std::vector<ConvertedPixel> (*make)(int width, int line);
};

const Content kContents[] = {
    {"random", [](int w, int line) { return raster_test::randomLine(w, 100u + static_cast<uint32_t>(line)); }},
    {"photo", [](int w, int line) { return raster_test::photoLine(w, line, 7u); }},
    {"narrower than the page", [](int w, int line) { return raster_test::photoLine(w - 37, line, 9u); }},
};

// Restores the default kernel choice when a test ends.
struct KernelChoice {
  explicit KernelChoice(bool vector) { rx3::allowVectorHalftone(vector); }
  ~KernelChoice() { rx3::allowVectorHalftone(true); }
};

TEST(Halftone, FastPathsMakeTheSameDotsAsThePlainAlgorithm) {
  const int kWidth = 613;
  for (bool vector : {true, false})
    for (int inkSet : {0, 2}) {
      for (const Content& content : kContents) {
        KernelChoice kernel(vector);
        SCOPED_TRACE(testing::Message() << (vector ? "vector" : "portable") << " pass, ink set " << inkSet << ", "
                                        << content.name);
        PageState fast(kWidth, inkSet);
        PageState plain(kWidth, inkSet);
        uint64_t inkUsed = 0;
        for (int line = 0; line < 24; ++line) {
          const std::vector<ConvertedPixel> pixels = content.make(kWidth, line);
          uint64_t fastTotals[8] = {};
          uint64_t plainTotals[8] = {};
          halftone(fast, line, pixels, fastTotals);
          plain.clearDots();
          raster_test::referenceHalftone(plain.state.get(), line, pixels.data(), static_cast<int>(pixels.size()),
                                         inkSet == 2, plainTotals);
          expectSamePage(fast, plain, line);
          const int inks = inkSet == 2 ? 4 : 8;
          for (int j = 0; j < inks; ++j) {
            ASSERT_EQ(plainTotals[j], fastTotals[j]) << "ink " << j << " line " << line;
            inkUsed += fastTotals[j];
          }
        }
        EXPECT_GT(inkUsed, 0u);
      }
    }
}

TEST(Halftone, PaperWhiteLineMakesNoDotsAndZeroesErrorsAndCarries) {
  for (int inkSet : {0, 2}) {
    PageState page(40, inkSet);
    uint64_t totals[8] = {};
    halftone(page, 0, std::vector<ConvertedPixel>(40, whitePixel()), totals);
    for (int x = 0; x < 40; ++x)
      for (int j = 0; j < 8; ++j) {
        ASSERT_EQ(0, page.dot(x, j));
        ASSERT_EQ(0, page.error(x, j));
      }
    for (int j = 0; j < 8; ++j) {
      EXPECT_EQ(0, page.engine().carries[j]);
      EXPECT_EQ(0u, totals[j]);
    }
    EXPECT_EQ(0, page.engine().noisePos);
  }
}

TEST(Halftone, NothingDrawnPixelResetsErrorsAndCarries) {
  struct Case {
    int inkSet;
    int errorBase;
    int carry;
    int inks;
  } cases[] = {{0, 128, 300, 8}, {2, 64, 240, 4}};
  for (const Case& c : cases) {
    PageState page(12, c.inkSet);
    std::vector<ConvertedPixel> pixels(12, inkPixel(900, 800, 700, 600));
    pixels[11] = nothingPixel();
    pixels[10] = nothingPixel();
    pixels[10].kind = rx3::kPixelInk;  // drawn flag 0 counts as nothing drawn
    uint64_t totals[8];
    halftone(page, 0, pixels, totals);
    for (int x : {10, 11})
      for (int j = 0; j < c.inks; ++j) {
        EXPECT_EQ((x % 8) * 16 + c.errorBase, page.error(x, j)) << "pixel " << x << " ink " << j;
        EXPECT_EQ(0, page.slot(x, 0, j));
        EXPECT_EQ(0, page.dot(x, j));
      }
    for (int j = 0; j < c.inks; ++j) EXPECT_EQ(c.carry, page.engine().carries[j]) << "ink " << j;
  }
}

// The four-ink set keeps device values that sit exactly at the limit
// (6400), so one plane gets exactly the value under test.
std::vector<ConvertedPixel> exactCyan(int value) {
  return {inkPixel(value, 2000, 4400 - value, 0)};
}

void silenceNoiseAndErrors(PageState& page) {
  std::memset(page.engine().noise, 0, rx3::kNoiseTableSize);
  std::memset(page.engine().errorLine, 0, static_cast<size_t>(page.engine().pageWidth + 2) * 16);
}

TEST(Halftone, DotSizeThresholdsAreStrictlyGreater) {
  struct Case {
    int value;
    int code;
  } cases[] = {{512, 0}, {513, 1}, {1024, 1}, {1025, 2}, {2032, 2}, {2033, 3}};
  for (const Case& c : cases) {
    PageState page(1, 2);
    silenceNoiseAndErrors(page);
    uint64_t totals[8];
    halftone(page, 0, exactCyan(c.value), totals);
    EXPECT_EQ(c.code, page.dot(0, 0)) << "value " << c.value;
  }
}

TEST(Halftone, ErrorSharesTruncateTowardZero) {
  PageState page(1, 2);
  silenceNoiseAndErrors(page);
  uint64_t totals[8];
  halftone(page, 0, exactCyan(2033), totals);
  // t = 2033 - 4080 = -2047; below = -2047 * 7 / 16 = -895, ahead = -255.
  EXPECT_EQ(-895, page.error(0, 0));
  EXPECT_EQ(-2047 + 895 + 255, page.engine().carries[0]);
}

TEST(Halftone, InkTotalsUseTheDropletVolumesOfTheResolution) {
  struct Case {
    int xResolution;
    uint64_t small, medium, large;
  } cases[] = {{360, 13, 26, 39}, {720, 4, 9, 22}, {1440, 4, 9, 22}, {2880, 4, 4, 4}};
  for (const Case& c : cases) {
    PageState page(1, 2, c.xResolution);
    const std::pair<int, uint64_t> dots[] = {{600, c.small}, {1500, c.medium}, {3000, c.large}};
    for (const auto& [value, volume] : dots) {
      silenceNoiseAndErrors(page);
      uint64_t totals[8];
      halftone(page, 0, exactCyan(value), totals);
      EXPECT_EQ(volume, totals[0]) << c.xResolution << " dpi, value " << value;
    }
  }
}

TEST(Halftone, OddLinesRunRightToLeft) {
  // Noise only on the first entry: the first pixel visited loses its large
  // dot to it (2100 < 3 x 64 + 2032); the other one, fed by the carry, keeps it.
  for (int line : {0, 1, 2, 3}) {
    PageState page(2, 2);
    silenceNoiseAndErrors(page);
    page.engine().noise[0] = 64;
    const std::vector<ConvertedPixel> pixels(2, inkPixel(2100, 2000, 2300, 0));
    uint64_t totals[8];
    halftone(page, line, pixels, totals);
    const int first = line % 2 == 0 ? 0 : 1;
    EXPECT_EQ(rx3::kDotMedium, page.dot(first, 0)) << "line " << line;
    EXPECT_EQ(rx3::kDotLarge, page.dot(1 - first, 0)) << "line " << line;
    EXPECT_EQ(line % 2, page.engine().lineParity);
    EXPECT_EQ(2100, page.slot(0, line % 2, 0));
  }
}

TEST(Halftone, NoisePositionRunsOnAcrossLinesAndWraps) {
  PageState page(50, 0);
  page.engine().noisePos = rx3::kNoiseTableSize - 3;
  const std::vector<ConvertedPixel> pixels(50, inkPixel(2000, 2000, 2000, 2000));
  uint64_t totals[8];
  halftone(page, 0, pixels, totals);
  // 1200, 1200, 1200, 2800 and no light inks: four draws per pixel.
  EXPECT_EQ((rx3::kNoiseTableSize - 3 + 200) % rx3::kNoiseTableSize, page.engine().noisePos);
}

// Lines separated beforehand, with any inks (the whole 16-bit range), every
// kind and errors as any line may leave them, at each width modulo 4 (the
// vector pass runs groups of four) and in both directions.
TEST(Halftone, SeparatedLinesMakeTheSameDotsAsThePlainAlgorithm) {
  if (!rx3::halftoneTakesSeparatedInks()) GTEST_SKIP() << "the portable pass separates as it goes";
  std::mt19937 random(17);
  for (int inkSet : {0, 2})
    for (int width : {613, 614, 615, 616}) {
      SCOPED_TRACE(testing::Message() << "ink set " << inkSet << ", width " << width);
      const int inks = inkSet == 2 ? 4 : 8;
      const size_t w = static_cast<size_t>(width);
      PageState fast(width, inkSet);
      PageState plain(width, inkSet);
      for (size_t k = 0; k < (w + 2) * 8; ++k)
        fast.engine().errorLine[k] = plain.engine().errorLine[k] = static_cast<int16_t>(random());
      for (int line = 0; line < 6; ++line) {
        std::vector<int16_t> values(w * 8, 0);
        std::vector<uint8_t> kinds(w);
        for (size_t x = 0; x < w; ++x) {
          kinds[x] = random() % 16 == 0 ? static_cast<uint8_t>(random() % 2) : rx3::kDiffuseInks;
          for (int j = 0; j < inks; ++j)
            values[x * 8 + static_cast<size_t>(j)] =
                static_cast<int16_t>(random() % 8 == 0 ? random() : random() % 4700 - 300);
        }
        const rx3::SeparatedLine separated{values.data(), kinds.data()};
        uint64_t fastTotals[8] = {};
        uint64_t plainTotals[8] = {};
        fast.clearDots();
        plain.clearDots();
        rx3::halftoneLineInto(fast.state.get(), line, nullptr, &separated, width, fast.engine().dotPlanes, fastTotals);
        raster_test::referenceDiffuse(plain.state.get(), line, values.data(), kinds.data(), width, inkSet == 2,
                                      plainTotals);
        expectSamePage(fast, plain, line);
        for (int j = 0; j < inks; ++j) ASSERT_EQ(plainTotals[j], fastTotals[j]) << "ink " << j << " line " << line;
      }
    }
}

// The kinds of a line separated beforehand, for any kind and drawn fields,
// at a width that is no multiple of the pixels taken at once.
TEST(Halftone, SeparatedLinesCarryEachPixelsDiffusionKind) {
  const int kWidth = 613;
  PageState page(kWidth, 0);
  std::mt19937 random(5);
  std::vector<ConvertedPixel> pixels = raster_test::randomLine(kWidth, 11u);
  for (ConvertedPixel& px : pixels) {
    if (random() % 4 == 0) px.kind = static_cast<int16_t>(random() % 3 == 0 ? random() : random() % 5);
    if (random() % 4 == 0) px.drawn = static_cast<int16_t>(random() % 3 == 0 ? random() : random() % 2);
  }
  std::vector<int16_t> inks(static_cast<size_t>(kWidth) * 8);
  std::vector<uint8_t> kinds(static_cast<size_t>(kWidth));
  rx3::separateLineInks(rx3::lineSeparationOf(page.state.get()), pixels.data(), kWidth, inks.data(), kinds.data());
  for (int x = 0; x < kWidth; ++x)
    ASSERT_EQ(rx3::diffusionKindOf(pixels[static_cast<size_t>(x)]), kinds[static_cast<size_t>(x)]) << "pixel " << x;
}

TEST(Halftone, CountBeyondThePageWidthIsCut) {
  PageState page(8, 0);
  const std::vector<ConvertedPixel> pixels = raster_test::photoLine(64, 0, 3);
  uint64_t totals[8];
  halftone(page, 1, pixels, totals);  // ASan guards the buffers of 8 pixels
  SUCCEED();
}

}  // namespace
