// Pages through the document and page exports, in-process: band clipping,
// skips, progress, cancel, port failure, several pages, refused rectangles.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "driver/machines/exports.h"
#include "driver/raster/page_buffers.h"
#include "libs/escdecode/dot_pages.h"
#include "page_bench.h"

namespace {

using escp::FrameKind;
using raster_test::Bytes;
using raster_test::Machine;
using raster_test::PageBench;

// 720 dpi with the page in inches: one unit is 720 dots.
Machine inchMachine() {
  Machine m;
  m.inchUnits = 1;
  return m;
}

constexpr float kSixth = 1.0f / 6.0f;  // 120 lines at 720 dpi

Bytes endsWith(const Bytes& all, size_t count) {
  return all.size() >= count ? Bytes(all.end() - static_cast<std::ptrdiff_t>(count), all.end()) : Bytes();
}

const char* const kPageTrailer =
    "0C 1B 40 1B '(R' 08 00 00 'REMOTE1' 'IR' 02 00 00 02 'JE' 01 00 00 'LD' 00 00 1B 00 00 00";
const char* const kAbortTrailer =
    "1B 40 1B '(R' 08 00 00 'REMOTE1' 'AC' 02 00 00 41 1B 00 00 00 0C"
    " 1B '(R' 08 00 00 'REMOTE1' 'IR' 02 00 00 02 'JE' 01 00 00 'LD' 00 00 1B 00 00 00";

TEST(PageLoop, AnEmptyDrawingOnlyMovesThePaper) {
  PageBench bench(inchMachine());
  ASSERT_TRUE(bench.openDocument());
  ASSERT_EQ(1, bench.startPage(0, 0, 1, kSixth));
  EXPECT_EQ(1, bench.drawPage(0, 0, 1, kSixth));
  EXPECT_EQ(120, bench.state->engine.currentLine);
  EXPECT_EQ(1, bench.endPage(0));
  const Bytes job = bench.finish();
  const escp::Stream stream = raster_test::decode(job);
  EXPECT_EQ(0, raster_test::countFrames(stream, FrameKind::kRasterRow));
  EXPECT_EQ(120, raster_test::linesMoved(stream));
  EXPECT_EQ(raster_test::hex(kPageTrailer), endsWith(job, raster_test::hex(kPageTrailer).size()));
}

TEST(PageLoop, ADrawingRightOfThePageEdgeLeavesItsFirstDotsUnprinted) {
  PageBench bench(inchMachine());
  ASSERT_TRUE(bench.openDocument());
  bench.setDrawing(100, 0, 719, 71);
  bench.addFill(100, 0, 720, 72, 0, 0, 0);
  ASSERT_EQ(1, bench.startPage(0, 0, 1, 0.1f));
  EXPECT_EQ(1, bench.drawPage(0, 0, 1, 0.1f));
  EXPECT_EQ(1, bench.endPage(0));
  const escp::Stream stream = raster_test::decode(bench.finish());
  std::vector<escp::DotPage> pages;
  std::string error;
  ASSERT_TRUE(escp::buildPages(stream, 1, &pages, &error)) << error;
  ASSERT_EQ(1u, pages.size());
  for (int plane = 0; plane < escp::kPlanes; ++plane)
    EXPECT_EQ(0.0, escp::meanCoverage(pages[0], plane, 0, 0, 100, 72)) << "plane " << plane;
  EXPECT_GT(escp::meanCoverage(pages[0], 3, 100, 0, 720, 72), 0.5) << "black where the drawing is";
}

TEST(PageLoop, ProgressEvery50LinesWithPercentAndLineCount) {
  PageBench bench(inchMachine());
  ASSERT_TRUE(bench.openDocument());
  bench.setDrawing(0, 0, 719, 119);
  bench.addFill(0, 0, 720, 120, 128, 128, 128);
  ASSERT_EQ(1, bench.startPage(0, 0, 1, kSixth));
  ASSERT_EQ(120, bench.state->engine.pageHeight);
  EXPECT_EQ(1, bench.drawPage(0, 0, 1, kSixth));
  EXPECT_EQ(1, bench.endPage(0));
  const auto steps = bench.log.of('s');
  ASSERT_EQ(5u, steps.size());
  EXPECT_EQ(0, steps[0].position);
  EXPECT_EQ("印刷中...", steps[0].text);
  EXPECT_EQ(41, steps[1].position);
  EXPECT_EQ("印刷中  [ 41 % - 50/120 ]", steps[1].text);
  EXPECT_EQ(83, steps[2].position);
  EXPECT_EQ("印刷中  [ 83 % - 100/120 ]", steps[2].text);
  EXPECT_EQ(-1, steps[3].position);
  EXPECT_EQ("ｼﾞｮﾌﾞを終了しています。", steps[3].text);
  EXPECT_EQ(100, steps[4].position);
  EXPECT_EQ(2, bench.log.yields);
  EXPECT_EQ(1u, bench.log.of('b').size());
  EXPECT_EQ(1u, bench.log.of('e').size());
  EXPECT_EQ('e', bench.log.calls.back().hook);
}

TEST(PageLoop, ACancelStillSkipsTheLinesBelowAndEndsWithTheAbortFrame) {
  PageBench bench(inchMachine());
  ASSERT_TRUE(bench.openDocument());
  bench.setDrawing(0, 20, 719, 119);  // the bottom 20 lines are blank
  bench.addFill(0, 0, 720, 120, 0, 0, 255);
  bench.log.cancelAtYield = 1;
  ASSERT_EQ(1, bench.startPage(0, 0, 1, kSixth));
  EXPECT_EQ(0, bench.drawPage(0, 0, 1, kSixth));
  EXPECT_EQ(1, bench.endPage(1)) << "the abort trailer was written";
  EXPECT_EQ(0, bench.state->engine.printing) << "nothing more of the document goes out";
  const auto steps = bench.log.of('s');
  ASSERT_GE(steps.size(), 2u);
  EXPECT_EQ("ｼﾞｮﾌﾞを中止しています。", steps[1].text);
  const Bytes job = bench.finish();
  const escp::Stream stream = raster_test::decode(job);
  EXPECT_EQ(49 * 8, raster_test::countFrames(stream, FrameKind::kRasterRow)) << "line 50 is not written";
  EXPECT_EQ(49 + 20, raster_test::linesMoved(stream));
  EXPECT_EQ(raster_test::hex(kAbortTrailer), endsWith(job, raster_test::hex(kAbortTrailer).size()));
}

TEST(PageLoop, APortFailureStopsThePageAndIsReported) {
  PageBench bench(inchMachine());
  ASSERT_TRUE(bench.openDocument(1));  // spooled with a 1 MB limit
  // Noise packs badly: far more than 1 MB of raster.
  constexpr int kWidth = 2000, kHeight = 400;
  std::vector<uint8_t> noise(static_cast<size_t>(kWidth) * kHeight * 3);
  std::mt19937 random(7);
  for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
  bench.setDrawing(0, 0, kWidth - 1, kHeight - 1);
  jGdcItem image{};
  image.kind = J_GDC_RGB_IMAGE;
  image.x1 = kWidth;
  image.y1 = kHeight;
  image.width = kWidth;
  image.height = kHeight;
  image.pixels = noise.data();
  bench.items.push_back(image);
  bench.scene = jGdcScene{1, bench.items.data()};
  bench.drawing.scene = &bench.scene;
  const float w = kWidth / 720.0f, h = kHeight / 720.0f;
  ASSERT_EQ(1, bench.startPage(0, 0, w, h));
  EXPECT_EQ(0, bench.drawPage(0, 0, w, h));
  EXPECT_LT(bench.state->engine.currentLine, kHeight) << "the loop stopped early";
  EXPECT_EQ(0, bench.endPage(0)) << "no trailer after a port failure";
  EXPECT_EQ(0, bench.startPage(0, 0, w, h)) << "the document is over";
  EXPECT_TRUE(bench.finish().empty()) << "no incomplete job is left behind";
}

TEST(PageLoop, EveryPageOfADocumentIsPrintedInAFrameOfItsOwn) {
  rx3::setNoiseSeed(99);  // equal pages, dot for dot
  PageBench bench(inchMachine());
  ASSERT_TRUE(bench.openDocument());
  bench.setDrawing(0, 0, 359, 71);
  bench.addFill(0, 0, 360, 72, 255, 0, 0);
  for (int page = 0; page < 3; ++page) {
    ASSERT_EQ(1, bench.startPage(0, 0, 0.5f, 0.1f)) << page;
    EXPECT_EQ(1, bench.drawPage(0, 0.05f, 0.5f, 0.1f)) << page;
    EXPECT_EQ(1, bench.drawPage(0, 0, 0.5f, 0.05f)) << page;
    EXPECT_EQ(1, bench.endPage(0)) << page;
  }
  EXPECT_EQ(0, bench.endPage(0)) << "no page is open";
  const escp::Stream stream = raster_test::decode(bench.finish());
  InkEntry inks[8];
  jPrintLoadInk(&bench.record, inks);
  const int64_t last = inks[1].lastPage, total = inks[1].totalUsed;  // packed fields
  EXPECT_GT(last, 0) << "a second end keeps the last page's magenta";
  EXPECT_EQ(3 * last, total) << "three equal pages, each counted once, once the port took them";
  EXPECT_EQ(3, raster_test::countFrames(stream, FrameKind::kRemoteCommand, "JS"));
  EXPECT_EQ(3, raster_test::countFrames(stream, FrameKind::kRemoteCommand, "JE"));
  EXPECT_EQ(3, raster_test::countFrames(stream, FrameKind::kFormFeed));
  EXPECT_EQ(3 * 72 * 8, raster_test::countFrames(stream, FrameKind::kRasterRow));
  std::vector<escp::DotPage> pages;
  std::string error;
  ASSERT_TRUE(escp::buildPages(stream, 1, &pages, &error)) << error;
  ASSERT_EQ(3u, pages.size());
  for (const escp::DotPage& p : pages) EXPECT_GT(escp::meanCoverage(p, 1, 0, 0, 360, 72), 0.3) << "magenta";
}

TEST(PageLoop, RectanglesThatAreNoRectanglesAreRefusedBeforeAnythingIsWritten) {
  PageBench bench(inchMachine());
  ASSERT_TRUE(bench.openDocument());
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(0, bench.drawPage(0, 0, 1, 1)) << "no page open";
  EXPECT_EQ(0, bench.startPage(nan, 0, 1, 1));
  EXPECT_EQ(0, bench.startPage(0, 0, inf, 1));
  EXPECT_EQ(0, bench.startPage(1, 0, 0, 1)) << "inverted";
  EXPECT_EQ(0, bench.startPage(0, 0, 1e6f, 1)) << "buffers beyond any page";
  EXPECT_TRUE(bench.log.calls.empty()) << "no progress display was started";
  ASSERT_EQ(1, bench.startPage(0, 0, 1, 0.1f));
  EXPECT_EQ(0, bench.drawPage(0, 0.1f, 1, 0)) << "inverted band";
  EXPECT_EQ(0, bench.drawPage(0, 0, nan, 0.1f));
  EXPECT_EQ(0, bench.state->engine.currentLine);
  EXPECT_EQ(1, bench.state->engine.printing) << "the page goes on";
  EXPECT_EQ(1, bench.endPage(0));
  EXPECT_EQ(0, bench.endPage(0)) << "a page ends once";
  const escp::Stream stream = raster_test::decode(bench.finish());
  EXPECT_EQ(1, raster_test::countFrames(stream, FrameKind::kRemoteCommand, "JS"));
  EXPECT_EQ(1, raster_test::countFrames(stream, FrameKind::kRemoteCommand, "JE"));
  EXPECT_EQ(0, raster_test::linesMoved(stream));
}

}  // namespace
