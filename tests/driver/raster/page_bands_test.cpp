// A page over several bands: borderless bleed at the page's outer edges
// only, feeds and progress that stay on the page, the host's answers that
// stop a page, and a page that never started.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/machines/exports.h"
#include "libs/escdecode/dot_pages.h"
#include "page_bench.h"

namespace {

using escp::FrameKind;
using raster_test::Machine;
using raster_test::PageBench;

Machine inchMachine(int marginMode = 0) {
  Machine m;
  m.inchUnits = 1;  // 720 dpi: one unit is 720 dots
  m.marginMode = marginMode;
  return m;
}

// A black drawing far larger than the page, so that every line of the page
// has dots.
void coverEverything(PageBench& bench) {
  bench.setDrawing(-2000, -2000, 2999, 2999);
  bench.addFill(-2000, -2000, 3000, 3000, 0, 0, 0);
}

TEST(PageBands, BorderlessPagesInSeveralBandsPrintEveryLineOnceAndFeedExactlyThePage) {
  // Band edges from the top down, in inches; the page is 0.5 x 0.5 inches,
  // 360 lines and 85 of bleed above and below.
  const std::vector<std::vector<float>> splits = {{0.5f, 0.3f, 0.1f, 0.0f}, {0.5f, 0.25f, 0.0f}, {0.5f, 0.0f}};
  for (int mode : {2, 3}) {
    for (const std::vector<float>& edges : splits) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << edges.size() - 1 << " bands");
      PageBench bench(inchMachine(mode));
      ASSERT_TRUE(bench.openDocument());
      coverEverything(bench);
      ASSERT_EQ(1, bench.startPage(0, 0, 0.5f, 0.5f));
      const int height = bench.state->engine.pageHeight;
      ASSERT_EQ(360 + 2 * 85, height);
      ASSERT_EQ(360 + 2 * 85, bench.state->engine.pageWidth);
      for (size_t i = 0; i + 1 < edges.size(); ++i) EXPECT_EQ(1, bench.drawPage(0, edges[i + 1], 0.5f, edges[i]));
      EXPECT_EQ(height, bench.state->engine.currentLine);
      EXPECT_EQ(1, bench.endPage(0));
      const escp::Stream stream = raster_test::decode(bench.finish());
      EXPECT_EQ(height * 8, raster_test::countFrames(stream, FrameKind::kRasterRow)) << "each line once";
      EXPECT_EQ(height, raster_test::linesMoved(stream)) << "the paper moves exactly the page";
      std::vector<escp::DotPage> pages;
      std::string error;
      ASSERT_TRUE(escp::buildPages(stream, 1, &pages, &error)) << error;
      ASSERT_EQ(1u, pages.size());
      EXPECT_EQ(height, pages[0].dotHeight);
      // Left and right bleed on every band: the outer columns are inked on
      // every line.
      for (int x : {0, 529}) EXPECT_GT(escp::meanCoverage(pages[0], 3, x, 0, x + 1, height), 0.25) << "column " << x;
    }
  }
}

TEST(PageBands, FeedsAndProgressStayOnThePage) {
  // A 72-line page drawn in one band of 144 lines reaching above it.
  for (bool drawn : {false, true}) {
    SCOPED_TRACE(drawn ? "drawn" : "empty");
    PageBench bench(inchMachine());
    ASSERT_TRUE(bench.openDocument());
    if (drawn) coverEverything(bench);
    ASSERT_EQ(1, bench.startPage(0, 0, 1, 0.1f));
    EXPECT_EQ(1, bench.drawPage(0, 0, 1, 0.2f));
    EXPECT_EQ(1, bench.drawPage(0, -0.1f, 1, 0.1f)) << "a band below the page's end feeds nothing more";
    EXPECT_EQ(72, bench.state->engine.currentLine);
    for (const raster_test::ProgressCall& step : bench.log.of('s')) EXPECT_LE(step.position, 100) << step.text;
    if (drawn) {
      ASSERT_GE(bench.log.of('s').size(), 2u);
      EXPECT_EQ("印刷中  [ 69 % - 50/72 ]", bench.log.of('s')[1].text);
    }
    EXPECT_EQ(1, bench.endPage(0));
    EXPECT_EQ(72, raster_test::linesMoved(raster_test::decode(bench.finish())));
  }
}

TEST(PageBands, TheCurrentLineNeverPassesTheLongestPage) {
  // Beyond 2^28 lines: two bands of half the page each, then one band again.
  PageBench bench(inchMachine());
  ASSERT_TRUE(bench.openDocument());
  constexpr float kTall = 400000.0f;  // inches
  ASSERT_EQ(1, bench.startPage(0, 0, 1, kTall));
  const int32_t height = bench.state->engine.pageHeight;
  ASSERT_GT(height, 1 << 28);
  EXPECT_EQ(1, bench.drawPage(0, kTall / 2, 1, kTall));
  EXPECT_EQ(1, bench.drawPage(0, 0, 1, kTall / 2));
  EXPECT_EQ(1, bench.drawPage(0, 0, 1, kTall));
  EXPECT_EQ(height, bench.state->engine.currentLine);
  EXPECT_EQ(1, bench.endPage(0));
}

TEST(PageBands, AnyHostAnswerOtherThanOneStopsThePageAsAFailure) {
  for (int answer : {0, 2, -1}) {
    PageBench bench(inchMachine());
    ASSERT_TRUE(bench.openDocument());
    coverEverything(bench);
    bench.log.cancelAtYield = 1;
    bench.log.cancelAnswer = answer;
    ASSERT_EQ(1, bench.startPage(0, 0, 1, 0.1f));
    EXPECT_EQ(0, bench.drawPage(0, 0, 1, 0.1f)) << answer;
    EXPECT_EQ(50, bench.state->engine.currentLine) << "stopped at line 50";
  }
}

TEST(PageBands, APageThatNeverStartedIsNotAccounted) {
  PageBench bench(inchMachine());  // no document: the header cannot go out
  ASSERT_EQ(0, bench.startPage(0, 0, 1, 0.1f));
  EXPECT_EQ(0, bench.endPage(0));
  EXPECT_TRUE(testing_support::readByteVector(bench.work.join("EPSON RX-3.ink")).empty());
  ASSERT_GE(bench.log.of('s').size(), 2u) << "the progress display still starts and ends";
  EXPECT_EQ("ｼﾞｮﾌﾞを中止しています。", bench.log.of('s')[1].text);
}

}  // namespace
