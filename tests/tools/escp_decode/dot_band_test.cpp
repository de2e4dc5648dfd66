// Decoding a window of a page straight from the stream's bytes (from its
// start, or from the nearest band start of the stream's index) gives the dots
// of the full decode, and the summed cells built frame by frame (of the whole
// stream, or of one page's part of it) equal those built from a whole decoded
// stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "libs/escdecode/dot_band.h"
#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"
#include "libs/escdecode/stream_index.h"

namespace {

constexpr uint8_t kColorCodes[8] = {0x02, 0x01, 0x04, 0x00, 0x12, 0x11, 0x10, 0x30};

// Two pages of random rows in every ink, with paper moves between them and
// rows of different lengths, packed as literal packets.
std::vector<uint8_t> randomStream(unsigned seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> s;
  for (int page = 0; page < 2; ++page) {
    for (int line = 0; line < 40; ++line) {
      for (int plane = 0; plane < 8; ++plane) {
        if (random() % 3 == 0) continue;
        const int bytes = 5 + static_cast<int>(random() % 20);
        s.insert(s.end(), {0x1B, 'i', kColorCodes[plane], 1, 2, static_cast<uint8_t>(bytes), 0, 1, 0});
        s.push_back(static_cast<uint8_t>(bytes - 1));
        for (int i = 0; i < bytes; ++i) s.push_back(static_cast<uint8_t>(random()));
        s.push_back(0x0D);
      }
      const uint8_t lines = static_cast<uint8_t>(1 + random() % 3);
      s.insert(s.end(), {0x1B, '(', 'v', 2, 0, lines, 0});
    }
    s.push_back(0x0C);
  }
  return s;
}

std::vector<escp::DotPage> fullDecode(const std::vector<uint8_t>& bytes, int scale) {
  escp::Stream stream;
  EXPECT_TRUE(escp::decodeStream(bytes.data(), bytes.size(), &stream));
  std::vector<escp::DotPage> pages;
  std::string error;
  EXPECT_TRUE(escp::buildPages(stream, scale, &pages, &error)) << error;
  return pages;
}

TEST(DotBand, WindowsEqualTheFullDecodeFromTheStartOrFromTheNearestBandInMemoryOrOnDisk) {
  const std::vector<uint8_t> bytes = randomStream(7);
  const std::vector<escp::DotPage> pages = fullDecode(bytes, 1);
  ASSERT_EQ(pages.size(), 2u);
  escp::StreamIndex index;
  std::string error;
  ASSERT_TRUE(escp::indexStream(bytes.data(), bytes.size(), &index, &error, nullptr, 8)) << error;
  ASSERT_EQ(index.pages.size(), pages.size());
  for (size_t p = 0; p < pages.size(); ++p) {
    EXPECT_EQ(index.pages[p].dotWidth, pages[p].dotWidth);
    EXPECT_EQ(index.pages[p].dotHeight, pages[p].dotHeight);
    EXPECT_GT(index.pages[p].bands.size(), 5u) << "a band every 8 lines";
  }
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  const escp::ReadRange onDisk = escp::readFileRange(file);
  // The same stream as the tail of one past 4 GB (a 10 m job's): no place
  // may be cut to 32 bits on its way from the index to the reader.
  constexpr escp::StreamOffset kFar = escp::StreamOffset{5} << 30;
  escp::StreamIndex farIndex = index;
  for (escp::PageStart& p : farIndex.pages) {
    p.offset += kFar;
    p.end += kFar;
    for (escp::BandStart& b : p.bands) b.offset += kFar;
  }
  const escp::ReadRange far = [&](escp::StreamOffset from, escp::StreamOffset to) -> escp::ReadBytes {
    if (from < kFar || to > kFar + bytes.size()) return [](uint8_t*, size_t) -> long long { return -1; };
    return [at = bytes.data() + (from - kFar), left = to - from](uint8_t* into, size_t max) mutable -> long long {
      const size_t n = static_cast<size_t>(std::min<escp::StreamOffset>(max, left));
      std::copy(at, at + n, into);
      at += n;
      left -= n;
      return static_cast<long long>(n);
    };
  };
  struct Window {
    int page, x0, y0, width, height;
  } const windows[] = {{0, 0, 0, 30, 10}, {0, 17, 33, 60, 25}, {1, 3, 50, 200, 200},
                       {1, 0, 0, 0, 0},   {1, 5, 61, 40, 3},   {2, 0, 0, 10, 10}};
  for (const Window& w : windows) {
    for (const int how : {0, 1, 2, 3}) {  // from the start, indexed, from the file, past 4 GB
      SCOPED_TRACE(testing::Message() << "page " << w.page << " at " << w.x0 << "," << w.y0 << " way " << how);
      escp::DotBand band;
      const bool decoded =
          how == 0 ? escp::decodeBand(bytes.data(), bytes.size(), w.page, w.x0, w.y0, w.width, w.height, &band, &error)
          : how == 1 ? escp::decodeBandIndexed(bytes.data(), bytes.size(), index, w.page, w.x0, w.y0, w.width, w.height,
                                               &band, &error)
          : how == 2 ? escp::decodeBandIndexed(onDisk, bytes.size(), index, w.page, w.x0, w.y0, w.width, w.height,
                                               &band, &error)
                     : escp::decodeBandIndexed(far, kFar + bytes.size(), farIndex, w.page, w.x0, w.y0, w.width,
                                               w.height, &band, &error);
      ASSERT_TRUE(decoded) << error;
      const escp::DotPage blank;
      const escp::DotPage& page =
          static_cast<size_t>(w.page) < pages.size() ? pages[static_cast<size_t>(w.page)] : blank;
      for (int j = 0; j < escp::kPlanes; ++j)
        for (int y = w.y0; y < w.y0 + w.height; ++y)
          for (int x = w.x0; x < w.x0 + w.width; ++x) {
            const int full = x < page.width && y < page.height ? page.dot(j, x, y) : 0;
            ASSERT_EQ(band.dot(j, x, y), full) << "ink " << j << " dot " << x << "," << y;
          }
    }
  }
  std::fclose(file);
}

TEST(DotBand, CompositeOfABandEqualsThatOfTheWholePage) {
  const std::vector<uint8_t> bytes = randomStream(11);
  const escp::DotPage page = fullDecode(bytes, 1)[0];
  escp::DotBand band;
  std::string error;
  ASSERT_TRUE(escp::decodeBand(bytes.data(), bytes.size(), 0, 0, 0, page.width, page.height, &band, &error));
  for (int only = -1; only < escp::kPlanes; ++only) EXPECT_EQ(escp::composite(band, only), escp::composite(page, only));
}

TEST(DotBand, CellsBuiltFrameByFrameEqualTheWholeDecode) {
  const std::vector<uint8_t> bytes = randomStream(3);
  const std::vector<escp::DotPage> whole = fullDecode(bytes, 3);
  std::vector<escp::DotPage> streamed;
  std::string error;
  ASSERT_TRUE(escp::buildPagesEachFrame(bytes.data(), bytes.size(), 3, &streamed, &error)) << error;
  ASSERT_EQ(streamed.size(), whole.size());
  for (size_t p = 0; p < whole.size(); ++p)
    for (int j = 0; j < escp::kPlanes; ++j) EXPECT_EQ(streamed[p].ink[j], whole[p].ink[j]);
  // Each page alone, from its part of the stream as the index gives it.
  escp::StreamIndex index;
  ASSERT_TRUE(escp::indexStream(bytes.data(), bytes.size(), &index, &error)) << error;
  ASSERT_EQ(index.pages.size(), whole.size());
  for (size_t p = 0; p < whole.size(); ++p) {
    const escp::PageStart& part = index.pages[p];
    ASSERT_TRUE(escp::buildPagesEachFrame(bytes.data() + part.offset, part.end - part.offset, 3, &streamed, &error,
                                          nullptr, 1));
    ASSERT_EQ(streamed.size(), 1u) << "page " << p << " alone";
    for (int j = 0; j < escp::kPlanes; ++j) EXPECT_EQ(streamed[0].ink[j], whole[p].ink[j]) << "page " << p;
  }
}

TEST(DotBand, ACancelOrABrokenStreamIsReportedNotShown) {
  std::vector<uint8_t> bytes = randomStream(5);
  std::atomic<int> cancel{1};
  escp::DotBand band;
  std::vector<escp::DotPage> pages;
  std::string error;
  EXPECT_FALSE(escp::decodeBand(bytes.data(), bytes.size(), 0, 0, 0, 10, 10, &band, &error, &cancel));
  EXPECT_EQ(error, "cancelled");
  EXPECT_FALSE(escp::buildPagesEachFrame(bytes.data(), bytes.size(), 2, &pages, &error, &cancel));
  EXPECT_TRUE(pages.empty());
  bytes.resize(12);  // inside the first row's data
  EXPECT_FALSE(escp::buildPagesEachFrame(bytes.data(), bytes.size(), 2, &pages, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
