#include "driver/raster/raster_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "halftone_reference.h"
#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"
#include "raster_lines.h"
#include "raster_page.h"
#include "spool_capture.h"

namespace {

using Bytes = std::vector<uint8_t>;
using raster_test::PageState;
using rx3::ConvertedPixel;

Bytes bytes(std::initializer_list<int> list) {
  Bytes b;
  for (int v : list) b.push_back(static_cast<uint8_t>(v));
  return b;
}

struct Writer {
  raster_test::SpoolCapture spool;
  PageState page;
  DeviceRecord record;

  explicit Writer(int width, int inkSet = 0) : page(width, inkSet) {
    std::memset(&record, 0, sizeof record);
    record.state = page.state.get();
    page.engine().spoolHandle = spool.handle();
  }
  int line(int n, const std::vector<ConvertedPixel>& pixels) {
    return rx3::writeRasterLine(&record, n, pixels.data(), static_cast<int>(pixels.size()));
  }
};

Bytes rowCommand(int colorCode, std::initializer_list<int> packed, int declared) {
  Bytes b = bytes({0x1B, '(', '$', 4, 0, 0, 0, 0, 0, 0x1B, 'i', colorCode, 1, 2, declared & 0xFF, declared >> 8, 1, 0});
  for (int v : packed) b.push_back(static_cast<uint8_t>(v));
  b.push_back(0x0D);
  return b;
}

const Bytes kNextLine = bytes({0x1B, '(', 'v', 4, 0, 1, 0, 0, 0});

TEST(RasterWriter, WhiteLineWritesEveryPlaneInOrder) {
  struct Case {
    int inkSet;
    std::vector<int> codes;
  } cases[] = {{0, {0x02, 0x01, 0x04, 0x00, 0x12, 0x11, 0x10, 0x30}},
               {1, {0x02, 0x01, 0x04, 0x00, 0x12, 0x11, 0x10, 0x30}},
               {2, {0x02, 0x01, 0x04, 0x00}}};
  for (const Case& c : cases) {
    Writer w(9, c.inkSet);
    EXPECT_EQ(1, w.line(0, std::vector<ConvertedPixel>(9, raster_test::whitePixel())));
    Bytes expected;
    for (int code : c.codes) {
      const Bytes row = rowCommand(code, {0xFD, 0x00}, 4);  // R = 4 zero bytes
      expected.insert(expected.end(), row.begin(), row.end());
    }
    expected.insert(expected.end(), kNextLine.begin(), kNextLine.end());
    EXPECT_EQ(expected, w.spool.finish()) << "ink set " << c.inkSet;
  }
}

TEST(RasterWriter, RowLengthFollowsThePixelCountNotThePage) {
  Writer w(64);
  EXPECT_EQ(1, w.line(0, std::vector<ConvertedPixel>(1, raster_test::whitePixel())));
  const Bytes out = w.spool.finish();
  const Bytes first = rowCommand(0x02, {0xFF, 0x00}, 2);  // one pixel: R = 2
  ASSERT_GE(out.size(), first.size());
  EXPECT_EQ(first, Bytes(out.begin(), out.begin() + static_cast<long>(first.size())));
}

TEST(RasterWriter, LineWriterDoesNotFlushAndSkipDoes) {
  Writer w(16);
  EXPECT_EQ(1, w.line(0, raster_test::photoLine(16, 0, 1)));
  EXPECT_TRUE(w.spool.handedOn().empty());
  EXPECT_EQ(1, rx3::writeVerticalSkip(&w.record, 0));
  EXPECT_FALSE(w.spool.handedOn().empty());
}

TEST(RasterWriter, VerticalSkipsMoveAtMost720LinesAtATime) {
  struct Case {
    int lines;
    Bytes expected;
  } cases[] = {
      {0, {}},
      {-5, {}},
      {1, bytes({0x1B, '(', 'v', 2, 0, 0x01, 0x00})},
      {720, bytes({0x1B, '(', 'v', 2, 0, 0xD0, 0x02})},
      {721, bytes({0x1B, '(', 'v', 2, 0, 0xD0, 0x02, 0x1B, '(', 'v', 2, 0, 0x01, 0x00})},
      {1500,
       bytes({0x1B, '(', 'v', 2, 0, 0xD0, 0x02, 0x1B, '(', 'v', 2, 0, 0xD0, 0x02, 0x1B, '(', 'v', 2, 0, 0x3C, 0x00})},
  };
  for (const Case& c : cases) {
    Writer w(8);
    EXPECT_EQ(1, rx3::writeVerticalSkip(&w.record, c.lines));
    EXPECT_EQ(c.expected, w.spool.handedOn()) << c.lines;  // handed on by the skip itself
  }
}

TEST(RasterWriter, StoppedPrintingWritesNothing) {
  Writer w(8);
  w.page.engine().printing = 0;
  EXPECT_EQ(0, w.line(0, raster_test::photoLine(8, 0, 1)));
  EXPECT_EQ(0, rx3::writeVerticalSkip(&w.record, 10));
  EXPECT_TRUE(w.spool.finish().empty());
}

TEST(RasterWriter, DeadChannelStopsThePage) {
  Writer w(8);
  w.spool.close();  // the handle now names no channel: its status is not 1
  EXPECT_EQ(0, w.line(0, raster_test::photoLine(8, 0, 1)));
  EXPECT_EQ(0, w.page.engine().printing);
  w.page.engine().printing = 1;
  EXPECT_EQ(0, rx3::writeVerticalSkip(&w.record, 10));
  EXPECT_EQ(0, w.page.engine().printing);
}

TEST(RasterWriter, RecordWithoutStateIsRefused) {
  DeviceRecord record;
  std::memset(&record, 0, sizeof record);
  const ConvertedPixel px = raster_test::whitePixel();
  EXPECT_EQ(0, rx3::writeRasterLine(&record, 0, &px, 1));
  EXPECT_EQ(0, rx3::writeVerticalSkip(&record, 1));
  EXPECT_EQ(0, rx3::writeRasterLine(nullptr, 0, &px, 1));
}

TEST(RasterWriter, AbortDropsEverythingAfterTheLastMultipleOf200) {
  Writer w(8);
  for (int n = 0; n < 250; ++n) ASSERT_EQ(1, w.line(n, std::vector<ConvertedPixel>(8, raster_test::whitePixel())));
  jSplAbort(w.spool.handle());
  escp::Stream stream;
  const Bytes out = w.spool.finish();
  ASSERT_TRUE(escp::decodeStream(out.data(), out.size(), &stream));
  int lines = 0;
  for (const escp::Frame& f : stream.frames) lines += f.kind == escp::FrameKind::kVerticalMove;
  EXPECT_EQ(200, lines);
}

// The stream, decoded strictly, holds the very dots of the plain
// halftoner, every grown row padded to its declared length, and the page's
// ink counters hold the droplets of those dots.
TEST(RasterWriter, StreamCarriesThePlainHalftonersDots) {
  for (int inkSet : {0, 2}) {
    SCOPED_TRACE(inkSet);
    const int kWidth = 1029;
    const int kLines = 12;
    Writer w(kWidth, inkSet);
    PageState plain(kWidth, inkSet);
    std::vector<std::vector<uint8_t>> expectedRows;  // per line: planes x R bytes
    uint64_t expectedInk[8] = {};
    const int planes = inkSet == 2 ? 4 : 8;
    for (int n = 0; n < kLines; ++n) {
      const std::vector<ConvertedPixel> pixels =
          n % 3 == 2 ? raster_test::randomLine(kWidth, 50u + n) : raster_test::photoLine(kWidth, n, 4);
      ASSERT_EQ(1, w.line(n, pixels));
      plain.clearDots();
      uint64_t totals[8];
      raster_test::referenceHalftone(plain.state.get(), n, pixels.data(), kWidth, inkSet == 2, totals);
      for (int j = 0; j < planes; ++j) expectedInk[j] += totals[j];
      expectedRows.emplace_back(plain.engine().dotPlanes, plain.engine().dotPlanes + plain.engine().rowBytes * 8);
    }
    for (int j = 0; j < 8; ++j) EXPECT_EQ(expectedInk[j], w.page.engine().pageInk[j]) << "plane " << j;

    const Bytes out = w.spool.finish();
    escp::Stream stream;
    ASSERT_TRUE(escp::decodeStream(out.data(), out.size(), &stream)) << stream.problems[0].message;
    std::vector<escp::DotPage> pages;
    std::string error;
    ASSERT_TRUE(escp::buildPages(stream, 1, &pages, &error)) << error;
    ASSERT_EQ(1u, pages.size());
    const escp::DotPage& page = pages[0];
    ASSERT_EQ(kLines - 1, page.dotHeight - 1);
    bool grown = false;
    for (const escp::Frame& f : stream.frames)
      grown |= f.kind == escp::FrameKind::kRasterRow && f.declaredBytes > plain.engine().rowBytes;
    EXPECT_TRUE(grown) << "no row grew in packing: the padding went untested";
    for (int n = 0; n < kLines; ++n)
      for (int j = 0; j < planes; ++j)
        for (int x = 0; x < kWidth; ++x) {
          const int code = (expectedRows[n][(x / 4) * 8 + j] >> (6 - 2 * (x % 4))) & 3;
          ASSERT_EQ(code, page.dot(j, x, n)) << "line " << n << " plane " << j << " x " << x;
        }
  }
}

}  // namespace
