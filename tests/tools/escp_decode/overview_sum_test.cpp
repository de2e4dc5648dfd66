// A first page's overview summed as the frames pass equals the page built
// whole at the scale it ends at, whatever way the page grows; and a stream
// pushed into a feed in pieces of any size is decoded to the frames of the
// whole buffer, its problems and a cancel included.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/frame_feed.h"
#include "libs/escdecode/overview_sum.h"
#include "support/made_stream.h"

namespace {

using test_support::Bytes;
using test_support::moveDown;
using test_support::randomPage;
using test_support::row;

escp::DotPage summed(const Bytes& s, int maxCells) {
  escp::PageOverview overview(maxCells);
  std::string error;
  escp::Problem problem{0, {}};
  escp::decodeEachFrame(
      s.data(), s.size(), [&](const escp::Frame& f) { return overview.take(f, &error); }, &problem);
  EXPECT_TRUE(error.empty()) << error;
  return overview.page();
}

TEST(PageOverview, EqualsThePageBuiltWholeAtTheScaleItEndsAt) {
  struct Case {
    const char* what;
    Bytes stream;
    int maxCells;
  };
  const Case cases[] = {
      {"small enough for single dots",
       randomPage(
           40, 1, [](int) { return 30; }, 1),
       640},
      {"wide: the first row sets the scale",
       randomPage(
           30, 1, [](int) { return 600; }, 2),
       64},
      {"long: doubled as it grows",
       randomPage(
           300, 3, [](int) { return 20; }, 3),
       50},
      {"wider rows later",
       randomPage(
           200, 2, [](int i) { return 5 + i; }, 4),
       90},
      {"a cell of 2 dots",
       randomPage(
           50, 1, [](int) { return 50; }, 5),
       100},
      {"a second page let by",
       [] {
         Bytes s = randomPage(
             60, 1, [](int) { return 40; }, 6);
         const Bytes more = randomPage(
             90, 4, [](int) { return 90; }, 7);
         s.insert(s.end(), more.begin(), more.end());
         return s;
       }(),
       32},
  };
  for (const Case& c : cases) {
    const escp::DotPage got = summed(c.stream, c.maxCells);
    std::vector<escp::DotPage> whole;
    std::string error;
    ASSERT_TRUE(escp::buildPagesEachFrame(c.stream.data(), c.stream.size(), got.scale, &whole, &error, nullptr, 1))
        << c.what << ": " << error;
    const escp::DotPage& want = whole[0];
    EXPECT_EQ(got.scale, escp::overviewScale(want.dotWidth, want.dotHeight, c.maxCells)) << c.what;
    EXPECT_LE(std::max(got.width, got.height), c.maxCells) << c.what;
    EXPECT_EQ(got.dotWidth, want.dotWidth) << c.what;
    EXPECT_EQ(got.dotHeight, want.dotHeight) << c.what;
    ASSERT_EQ(got.width, want.width) << c.what;
    ASSERT_EQ(got.height, want.height) << c.what;
    for (int j = 0; j < escp::kPlanes; ++j) EXPECT_TRUE(got.ink[j] == want.ink[j]) << c.what << ", ink " << j;
  }
}

// Past 1024 dots a side, a full cell's sum would pass 32 bits: the sums are
// kept shifted, and the coverage is still exact.
TEST(PageOverview, CellsOfMoreThan1024DotsKeepTheirCoverage) {
  Bytes s;
  for (int line = 0; line < 5000; ++line) {
    row(&s, 0x01, Bytes(512, 0xFF));  // 2048 large magenta dots
    moveDown(&s, 1);
  }
  s.push_back(0x0C);
  for (const auto& [maxCells, scale] : {std::pair{4, 2048}, std::pair{2, 4096}}) {
    const escp::DotPage got = summed(s, maxCells);
    ASSERT_EQ(got.scale, scale);
    EXPECT_GT(got.shift, 0);
    ASSERT_EQ(got.height, (5000 + scale - 1) / scale);
    for (int y = 0; y < got.height; ++y) {
      const int lines = std::min(scale, 5000 - y * scale);
      EXPECT_EQ(escp::meanCoverage(got, 1, 0, y, 1, y + 1), 2048.0 * lines / (double{1} * scale * scale)) << scale;
    }
  }
}

TEST(PageOverview, RefusesWhatNoPageHas) {
  escp::Frame unknownInk{};
  unknownInk.kind = escp::FrameKind::kRasterRow;
  unknownInk.colorCode = 0x7F;
  escp::Frame upward{};
  upward.kind = escp::FrameKind::kVerticalMove;
  upward.lines = -1;
  for (const escp::Frame& f : {unknownInk, upward}) {
    std::string error;
    escp::PageOverview overview(64);
    EXPECT_FALSE(overview.take(f, &error));
    EXPECT_FALSE(error.empty());
  }
}

struct Seen {
  std::vector<std::pair<size_t, escp::FrameKind>> frames;
  bool take(const escp::Frame& f) {
    frames.emplace_back(f.offset, f.kind);
    return true;
  }
};

TEST(FrameFeed, PiecesOfAnySizeDecodeAsTheWholeBuffer) {
  Bytes stream(100, 0x11);
  const Bytes page = randomPage(
      80, 2, [](int i) { return 10 + i * 7; }, 8);
  stream.insert(stream.end(), page.begin(), page.end());
  Seen whole;
  escp::Problem problem{0, {}};
  ASSERT_TRUE(escp::decodeEachFrame(
      stream.data(), stream.size(), [&](const escp::Frame& f) { return whole.take(f); }, &problem));
  for (size_t piece : {size_t{1}, size_t{7}, size_t{4096}, stream.size()}) {
    Seen fed;
    escp::FrameFeed feed([&](const escp::Frame& f) { return fed.take(f); }, 256);  // a buffer smaller than a row
    for (size_t at = 0; at < stream.size(); at += piece)
      ASSERT_TRUE(feed.write(stream.data() + at, std::min(piece, stream.size() - at), nullptr)) << piece;
    EXPECT_TRUE(feed.finish(&problem, nullptr)) << problem.message;
    EXPECT_EQ(fed.frames, whole.frames) << "pieces of " << piece;
  }
}

TEST(FrameFeed, AProblemOrAVisitorThatStopsEndsItAndACancelEndsTheWait) {
  {
    escp::FrameFeed feed([](const escp::Frame&) { return true; }, 64);
    const Bytes bad = {0x1B, 'i', 0x02, 1, 2, 1, 0, 1, 0, 0x80};  // a PackBits header of 80
    EXPECT_TRUE(feed.write(bad.data(), bad.size(), nullptr));
    escp::Problem problem{0, {}};
    EXPECT_FALSE(feed.finish(&problem, nullptr));
    EXPECT_EQ(problem.message, "packet header 80");
  }
  {
    escp::FrameFeed feed([](const escp::Frame&) { return false; }, 64);
    const Bytes returns(4096, 0x0D);
    bool accepted = true;
    for (int i = 0; i < 1000 && accepted; ++i) accepted = feed.write(returns.data(), returns.size(), nullptr);
    EXPECT_FALSE(accepted) << "the writer learns that nothing more is wanted";
    escp::Problem problem{0, {}};
    EXPECT_FALSE(feed.finish(&problem, nullptr));
    EXPECT_TRUE(problem.message.empty());
  }
  {
    // A visitor that holds the decoder up while a writer waits for room: a
    // cancel frees the writer, and the wait for the end.
    std::atomic<int> cancel{0}, seen{0};
    escp::FrameFeed feed(
        [&](const escp::Frame&) {
          ++seen;
          while (!cancel.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
          return false;
        },
        16);
    std::thread canceller([&] {
      while (!seen.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      cancel = 1;
    });
    const Bytes returns(size_t{3} << 20, 0x0D);  // more than the decoder reads ahead
    EXPECT_FALSE(feed.write(returns.data(), returns.size(), &cancel));
    canceller.join();
    EXPECT_FALSE(feed.finish(nullptr, &cancel));
  }
}

}  // namespace
