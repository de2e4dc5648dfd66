// The command frame of a page against vectors written from the printer's
// command tables: the job header for every margin mode, ink set and
// horizontal resolution, the page trailer and the abort trailer.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver/raster/job_frame.h"
#include "page_bench.h"

namespace {

using raster_test::Bytes;
using raster_test::hex;
using raster_test::Machine;
using raster_test::PageBench;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The header of the default machine (with margins, cut, photo black,
// bidirectional, 720 x 720 dpi).
Bytes defaultHeader() {
  return Bytes(16384, 0x11) + hex("00 00 00 1B 01 '@EJL 1284.4' 0A '@EJL     ' 0A 1B 40 1B 40") +
         hex("1B '(R' 08 00 00 'REMOTE1'"
             "'JS' 0B 00 00 'PRINT_JOB' 00"
             "'JU' 05 00 00 'none'"
             "'IR' 02 00 00 03"
             "'SN' 03 00 00 01 00  'SN' 03 00 00 08 00  'SN' 03 00 00 02 00  'SN' 03 00 00 03 00"
             "'SN' 03 00 00 04 00  'SN' 03 00 00 05 33  'SN' 03 00 00 09 02  'SN' 03 00 00 82 47"
             "'EX' 06 00 00 00 00 00 05 00"
             "'FP' 03 00 00 00 00"
             "'EX' 06 00 00 00 00 00 14 00"
             "'AC' 02 00 00 01  'AC' 02 00 00 40"
             "'IK' 02 00 00 31  'PH' 02 00 00 00"
             "1B 00 00 00") +
         hex("1B 40  1B '(G' 01 00 01  1B '(U' 05 00 04 04 04 40 0B  1B 'U' 00  1B '(i' 03 00 01 00 00"
             "1B '(e' 02 00 00 10  1B '(D' 04 00 40 38 14 14");
}

Bytes headerOf(const Machine& machine) {
  PageBench bench(machine);
  EXPECT_TRUE(bench.openDocument());
  EXPECT_EQ(1, rx3::writeJobHeader(&bench.record));
  return bench.finish();
}

Bytes slice(const Bytes& all, size_t from, size_t count) {
  return from + count <= all.size() ? Bytes(all.begin() + from, all.begin() + from + count) : Bytes();
}

TEST(JobHeader, DefaultMachineGivesTheTabledBytes) {
  EXPECT_EQ(defaultHeader(), headerOf(Machine{}));
}

TEST(JobHeader, BorderlessModesAddTheirSettingsAndFeedOffset) {
  const Bytes tail = hex("'EX' 06 00 00 00 00 00 05 00 'FP' 03 00 00 D5 FF 'EX' 06 00 00 00 00 00 14 00");
  struct Case {
    int mode, paperCut;
    const char* settings;  // SN 09 .. SN 85
    int cut;
  } cases[] = {
      {1, 1, "'SN' 03 00 00 09 00 'SN' 03 00 00 82 47 'SN' 03 00 00 84 00 'SN' 03 00 00 85 00", 1},
      {1, 0, "'SN' 03 00 00 09 00 'SN' 03 00 00 82 47 'SN' 03 00 00 84 00 'SN' 03 00 00 85 00", 0},
      {2, 0, "'SN' 03 00 00 09 00 'SN' 03 00 00 82 47 'SN' 03 00 00 84 01 'SN' 03 00 00 85 00", 1},
      {3, 0, "'SN' 03 00 00 09 00 'SN' 03 00 00 82 47 'SN' 03 00 00 84 02 'SN' 03 00 00 85 00", 1},
  };
  const Bytes all = defaultHeader();
  const Bytes sn09 = hex("'SN' 03 00 00 09");
  const Bytes before(all.begin(), std::search(all.begin(), all.end(), sn09.begin(), sn09.end()));
  for (const Case& c : cases) {
    Machine m;
    m.marginMode = c.mode;
    m.paperCut = c.paperCut;
    const Bytes header = headerOf(m);
    const Bytes settings = hex(c.settings);
    const Bytes cut = hex(c.cut ? "'AC' 02 00 00 01" : "'AC' 02 00 00 00");
    EXPECT_EQ(before, slice(header, 0, before.size())) << "mode " << c.mode;
    EXPECT_EQ(settings + tail + cut, slice(header, before.size(), settings.size() + tail.size() + cut.size()))
        << "mode " << c.mode << " cut " << c.paperCut;
    EXPECT_EQ(defaultHeader().size() + 14, header.size());
  }
}

TEST(JobHeader, WithMarginsTheCutFollowsTheSetting) {
  Machine m;
  m.paperCut = 0;
  const Bytes header = headerOf(m);
  Bytes expected = defaultHeader();
  const Bytes cutOn = hex("'AC' 02 00 00 01 'AC' 02 00 00 40");
  auto at = std::search(expected.begin(), expected.end(), cutOn.begin(), cutOn.end());
  ASSERT_NE(expected.end(), at);
  at[5] = 0x00;
  EXPECT_EQ(expected, header);
}

TEST(JobHeader, EachInkSetHasItsCode) {
  const std::pair<int, uint8_t> sets[] = {{0, 0x31}, {1, 0x51}, {2, 0x41}};
  for (auto [inkSet, code] : sets) {
    Machine m;
    m.inkSet = inkSet;
    const escp::Stream stream = raster_test::decode(headerOf(m));
    const escp::Frame* ik = raster_test::findFrame(stream, "IK");
    ASSERT_NE(nullptr, ik);
    EXPECT_EQ(Bytes({0x00, code}), ik->params) << "ink set " << inkSet;
  }
}

TEST(JobHeader, ResolutionsSetUnitsDotSizeAndSpacing) {
  struct Case {
    int h, v;
    const char* units;
    uint8_t dot;
    const char* spacing;
  } cases[] = {
      {360, 720, "04 04 08 40 0B", 0x11, "40 38 14 28"},  {720, 720, "04 04 04 40 0B", 0x10, "40 38 14 14"},
      {1440, 720, "04 04 02 40 0B", 0x12, "40 38 14 0A"}, {2880, 1440, "02 02 01 40 0B", 0x05, "40 38 0A 05"},
      {960, 720, "04 04 03 40 0B", 0x03, "40 38 14 0F"},  // any other: 2880 / H
  };
  for (const Case& c : cases) {
    Machine m;
    m.xResolution = c.h;
    m.yResolution = c.v;
    const escp::Stream stream = raster_test::decode(headerOf(m));
    const escp::Frame* units = raster_test::findFrame(stream, "(U");
    const escp::Frame* dot = raster_test::findFrame(stream, "(e");
    const escp::Frame* spacing = raster_test::findFrame(stream, "(D");
    ASSERT_TRUE(units && dot && spacing);
    EXPECT_EQ(hex(c.units), units->params) << c.h << " x " << c.v;
    EXPECT_EQ(Bytes({0x00, c.dot}), dot->params) << c.h;
    EXPECT_EQ(hex(c.spacing), spacing->params) << c.h << " x " << c.v;
  }
}

TEST(JobHeader, OnlyBidirectionalOnPrintsBothWays) {
  for (int setting : {1, 0, -1}) {
    Machine m;
    m.bidirectional = setting;
    const escp::Stream stream = raster_test::decode(headerOf(m));
    const escp::Frame* u = raster_test::findFrame(stream, "U");
    ASSERT_NE(nullptr, u);
    EXPECT_EQ(Bytes({static_cast<uint8_t>(setting == 1 ? 0 : 1)}), u->params);
  }
}

const char* const kPageTrailer =
    "0C 1B 40 1B '(R' 08 00 00 'REMOTE1' 'IR' 02 00 00 02 'JE' 01 00 00 'LD' 00 00 1B 00 00 00";
const char* const kAbortTrailer =
    "1B 40 1B '(R' 08 00 00 'REMOTE1' 'AC' 02 00 00 41 1B 00 00 00 0C"
    " 1B '(R' 08 00 00 'REMOTE1' 'IR' 02 00 00 02 'JE' 01 00 00 'LD' 00 00 1B 00 00 00";

TEST(Trailers, PageAndAbortTrailersAreTheTabledBytes) {
  PageBench page;
  ASSERT_TRUE(page.openDocument());
  EXPECT_EQ(1, rx3::writePageTrailer(&page.record));
  EXPECT_EQ(hex(kPageTrailer), page.finish());

  PageBench aborted;
  ASSERT_TRUE(aborted.openDocument());
  EXPECT_EQ(1, rx3::writeAbortTrailer(&aborted.record));
  EXPECT_EQ(hex(kAbortTrailer), aborted.finish());
}

TEST(Trailers, NothingIsWrittenOnceThePrintingFlagIsDown) {
  PageBench bench;
  ASSERT_TRUE(bench.openDocument());
  bench.state->engine.printing = 0;
  EXPECT_EQ(0, rx3::writePageTrailer(&bench.record));
  EXPECT_EQ(0, rx3::writeAbortTrailer(&bench.record));
  EXPECT_EQ(0, rx3::writeJobHeader(&bench.record));
  EXPECT_TRUE(bench.finish().empty());
}

TEST(Trailers, AFrameThePortDidNotTakeIsReportedAsFailed) {
  PageBench bench;
  ASSERT_TRUE(bench.openDocument(1));  // spooled, with a limit of 1 MB
  size_t written = 0;
  while (written < 100 && rx3::writeJobHeader(&bench.record) == 1) ++written;
  EXPECT_EQ(1024u * 1024u / defaultHeader().size(), written) << "headers up to the spool limit";
  EXPECT_EQ(0, bench.state->engine.printing);
  EXPECT_EQ(0, rx3::writePageTrailer(&bench.record));
}

TEST(Channel, ClosingEndsTheJobAndLowersTheFlag) {
  PageBench bench;
  ASSERT_TRUE(bench.openDocument());
  EXPECT_EQ(1, rx3::closeChannel(&bench.record));
  EXPECT_EQ(nullptr, bench.state->engine.spoolHandle);
  EXPECT_EQ(0, bench.state->engine.printing);
  EXPECT_EQ(1, rx3::closeChannel(&bench.record)) << "closing twice is harmless";
}

}  // namespace
