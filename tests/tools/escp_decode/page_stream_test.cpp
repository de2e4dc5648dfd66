// A stream read piece by piece decodes to the frames of the whole buffer,
// and its pages are built one at a time: many pages at the size limit take
// the memory of one, and a page over it is refused on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "libs/escdecode/escp_decoder.h"
#include "libs/escdecode/page_stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A cyan row of `bytes` packed bytes of 0xFF (large dots), as repeat packets.
void wideRow(Bytes* s, int bytes) {
  s->insert(s->end(), {0x1B, 'i', 0x02, 1, 2, static_cast<uint8_t>(bytes), static_cast<uint8_t>(bytes >> 8), 1, 0});
  for (int left = bytes; left > 0; left -= 128) {
    const int n = std::min(left, 128);
    s->push_back(static_cast<uint8_t>(257 - n));
    s->push_back(0xFF);
  }
  s->push_back(0x0D);
}

void moveDown(Bytes* s, int lines) {
  s->insert(s->end(), {0x1B, '(', 'v', 2, 0, static_cast<uint8_t>(lines), static_cast<uint8_t>(lines >> 8)});
}

// A page of `dotWidth` x `dotHeight` dots from two rows: its top and its
// bottom line.
void page(Bytes* s, int dotWidth, int dotHeight) {
  wideRow(s, dotWidth / 4);
  moveDown(s, dotHeight - 1);
  wideRow(s, 1);
  s->push_back(0x0C);
}

escp::ReadBytes reader(const Bytes& s) {
  auto at = std::make_shared<size_t>(0);
  return [&s, at](uint8_t* into, size_t max) -> long long {
    const size_t n = std::min(max, s.size() - *at);
    std::memcpy(into, s.data() + *at, n);
    *at += n;
    return static_cast<long long>(n);
  };
}

struct Built {
  std::vector<size_t> pages, refused;
  uint64_t peak = 0;
  bool ok = false;
  std::string error;
};

Built build(const Bytes& s, int scale, uint64_t maxCells = escp::PageStream::kMaxPageCells) {
  Built b;
  escp::PageStream pages(
      scale,
      [&](size_t index, const escp::DotPage& p) {
        EXPECT_EQ(p.cell(0, 0, 0), 4080u * scale) << "page " << index;
        b.pages.push_back(index);
        return true;
      },
      [&](size_t index, const std::string& why) {
        EXPECT_NE(std::string::npos, why.find("too large")) << why;
        b.refused.push_back(index);
        return true;
      },
      maxCells);
  escp::Problem problem{0, {}};
  b.ok = escp::decodeEachFrame(
             reader(s), [&](const escp::Frame& f) { return pages.take(f, &b.error); }, &problem) &&
         pages.finish(&b.error);
  b.peak = pages.peakBytes();
  return b;
}

TEST(PageStream, ManyPagesAtTheSizeLimitTakeTheMemoryOfOne) {
  // 512 x 512 cells of 4 x 4 dots, each page at the limit set (a smaller
  // one than the product's, so that the test stays quick), in about fifty
  // bytes of stream each.
  constexpr int kPages = 12, kScale = 4, kSide = 512 * kScale;
  constexpr uint64_t kLimit = uint64_t{1} << 18;
  Bytes s;
  for (int i = 0; i < kPages; ++i) page(&s, kSide, kSide);
  ASSERT_LT(s.size(), 800u);
  const Built b = build(s, kScale, kLimit);
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_EQ(kPages, static_cast<int>(b.pages.size()));
  const uint64_t onePage = kLimit * escp::kPlanes * sizeof(uint32_t);
  EXPECT_GE(b.peak, onePage);
  EXPECT_LE(b.peak, onePage + onePage / 8);
}

TEST(PageStream, APageOverTheLimitIsRefusedAndTheOthersAreBuilt) {
  Bytes s;
  page(&s, 4096, 64);
  page(&s, 4096 * 4, 4096 * 4 + 8);  // over 2^24 cells at scale 1 ...
  page(&s, 4096, 64);
  const Built b = build(s, 1);
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_EQ((std::vector<size_t>{0, 2}), b.pages);
  EXPECT_EQ((std::vector<size_t>{1}), b.refused);
  EXPECT_LT(b.peak, uint64_t{64} << 20);  // ... and never allocated
  // The callers that want all pages at once still get the refusal as a
  // failure of the whole build.
  escp::Stream stream;
  ASSERT_TRUE(escp::decodeStream(s.data(), s.size(), &stream));
  std::vector<escp::DotPage> pages;
  std::string error;
  EXPECT_FALSE(escp::buildPages(stream, 1, &pages, &error));
  EXPECT_NE(std::string::npos, error.find("page 2 too large")) << error;
}

TEST(PageStream, AStreamReadPieceByPieceGivesTheFramesOfTheWholeBuffer) {
  // Over two megabytes, so frames straddle the reading window, with a
  // preamble run and an EJL line each longer than the window.
  std::mt19937 random(3);
  Bytes s(3u << 20, 0x11);
  for (const char* c = "@EJL JL "; *c; ++c) s.push_back(static_cast<uint8_t>(*c));
  s.insert(s.end(), 1500000, 'x');
  s.push_back(0x0A);
  while (s.size() < (8u << 20)) {
    const int bytes = 1 + static_cast<int>(random() % 4000);
    s.insert(s.end(), {0x1B, 'i', 0x01, 1, 2, static_cast<uint8_t>(bytes), static_cast<uint8_t>(bytes >> 8), 1, 0});
    for (int left = bytes; left > 0; left -= 128) {
      const int n = std::min(left, 128);
      s.push_back(static_cast<uint8_t>(n - 1));
      for (int i = 0; i < n; ++i) s.push_back(static_cast<uint8_t>(random()));
    }
    moveDown(&s, 1);
  }
  struct Seen {
    escp::StreamOffset offset;
    size_t length;
    escp::FrameKind kind;
    bool operator==(const Seen&) const = default;
  };
  auto seen = [](std::vector<Seen>* out) {
    return [out](const escp::Frame& f) {
      out->push_back({f.offset, f.length, f.kind});
      return true;
    };
  };
  std::vector<Seen> whole, pieces;
  escp::Problem problem{0, {}};
  ASSERT_TRUE(escp::decodeEachFrame(s.data(), s.size(), seen(&whole), &problem)) << problem.message;
  ASSERT_TRUE(escp::decodeEachFrame(reader(s), seen(&pieces), &problem)) << problem.message;
  EXPECT_TRUE(whole == pieces);
  EXPECT_EQ(escp::FrameKind::kPreamble, pieces.at(0).kind);
  EXPECT_EQ(3u << 20, pieces.at(0).length);
  // A stream cut inside a row is a problem at that row's offset, as in the
  // whole buffer.
  s.resize(s.size() - 3);
  escp::Problem cut{0, {}};
  EXPECT_FALSE(escp::decodeEachFrame(s.data(), s.size(), seen(&whole), &problem));
  EXPECT_FALSE(escp::decodeEachFrame(reader(s), seen(&pieces), &cut));
  EXPECT_EQ(problem.offset, cut.offset);
  EXPECT_EQ(problem.message, cut.message);
}

}  // namespace
