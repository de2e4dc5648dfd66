// Pages handed over a row of cells at a time are the pages built whole,
// whatever the scale, the resolution and the way rows and moves mix; their
// pictures written a row at a time are the whole picture's PNG byte for
// byte; and at 1440 x 720 dpi a cell covers twice the dots across, so a
// picture keeps the page's shape.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/page_rows.h"
#include "libs/escdecode/png_writer.h"
#include "support/made_stream.h"

namespace {

using test_support::Bytes;
using test_support::randomPage;

// ESC (D: 14400 over the spacing down and across.
Bytes resolution(int across, int down) {
  return {0x1B, '(', 'D', 4, 0, 0x40, 0x38, static_cast<uint8_t>(14400 / down), static_cast<uint8_t>(14400 / across)};
}

std::vector<escp::DotPage> whole(const Bytes& s, int scale) {
  escp::Stream stream;
  EXPECT_TRUE(escp::decodeStream(s.data(), s.size(), &stream));
  std::vector<escp::DotPage> pages;
  std::string error;
  EXPECT_TRUE(escp::buildPages(stream, scale, &pages, &error)) << error;
  return pages;
}

// The pages a row at a time, at the sizes the whole pages measure; each
// page's picture also written a row at a time to `png` (its index appended).
std::vector<escp::DotPage> byRows(const Bytes& s, int scale, const std::vector<escp::DotPage>& sizes,
                                  const std::string& png) {
  std::vector<escp::PageSize> given;
  for (const escp::DotPage& p : sizes) given.push_back({p.dotWidth, p.dotHeight});
  std::vector<escp::DotPage> pages;
  escp::PngRowWriter writer;
  std::vector<uint8_t> rgb;
  const escp::PageRowTaker taker{[&](size_t index, const escp::DotPage& shape) {
                                   pages.push_back(shape);
                                   rgb.resize(static_cast<size_t>(shape.width) * 3);
                                   return writer.begin(png + std::to_string(index), shape.width, shape.height);
                                 },
                                 [&](const uint32_t* const ink[escp::kPlanes]) {
                                   escp::DotPage& p = pages.back();
                                   for (int j = 0; j < escp::kPlanes; ++j)
                                     p.ink[j].insert(p.ink[j].end(), ink[j], ink[j] + p.width);
                                   escp::inkColours(ink, p.width, p.across() * p.scale, 0, -1, rgb.data());
                                   return writer.row(rgb.data());
                                 },
                                 [&](size_t) { return writer.finish(); }};
  escp::PageRows rows(scale, given, taker);
  std::string error;
  escp::Problem problem{0, {}};
  EXPECT_TRUE(escp::decodeEachFrame(
      s.data(), s.size(), [&](const escp::Frame& f) { return rows.take(f, &error); }, &problem))
      << error << problem.message;
  EXPECT_TRUE(rows.finish(&error)) << error;
  return pages;
}

std::vector<uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(PageRows, AreThePagesBuiltWholeAndTheirPicturesTheWholePicturesBytes) {
  struct Case {
    const char* what;
    Bytes stream;
    int scale;
    int across;  // dots across a cell expected
  };
  auto pages = [](std::initializer_list<Bytes> parts) {
    Bytes s;
    for (const Bytes& p : parts) s.insert(s.end(), p.begin(), p.end());
    return s;
  };
  const Bytes header720 = resolution(720, 720), header1440 = resolution(1440, 720);
  const Case cases[] = {
      {"single dots",
       randomPage(
           40, 1, [](int) { return 30; }, 1),
       1, 1},
      {"cells of 3, rows of changing width",
       randomPage(
           90, 1, [](int i) { return 5 + i % 17; }, 2),
       3, 3},
      {"cells of 8, rows several lines apart",
       randomPage(
           60, 5, [](int) { return 64; }, 3),
       8, 8},
      {"three pages at 720 dpi",
       pages({header720,
              randomPage(
                  20, 2, [](int) { return 9; }, 4),
              header720,
              randomPage(
                  33, 1, [](int i) { return 1 + i; }, 5),
              header720,
              randomPage(
                  7, 9, [](int) { return 40; }, 6)}),
       4, 4},
      {"1440 x 720: cells twice as wide",
       pages({header1440, randomPage(
                              50, 1, [](int) { return 80; }, 7)}),
       4, 8},
      {"1440 x 720, single dots down",
       pages({header1440, randomPage(
                              20, 1, [](int) { return 11; }, 8)}),
       1, 2},
  };
  const std::string png = ::testing::TempDir() + "page_rows_";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<escp::DotPage> expected = whole(c.stream, c.scale);
    const std::vector<escp::DotPage> got = byRows(c.stream, c.scale, expected, png);
    ASSERT_EQ(expected.size(), got.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(c.across, expected[i].across());
      EXPECT_EQ(c.across, got[i].across());
      ASSERT_EQ(expected[i].width, got[i].width);
      ASSERT_EQ(expected[i].height, got[i].height);
      for (int j = 0; j < escp::kPlanes; ++j) EXPECT_TRUE(expected[i].ink[j] == got[i].ink[j]) << "ink " << j;
      const std::string path = png + std::to_string(i);
      EXPECT_TRUE(fileBytes(path) == escp::encodePng(got[i].width, got[i].height, escp::composite(expected[i])));
      std::remove(path.c_str());
    }
  }
}

TEST(PageRows, DotsBeyondTheGivenSizeAreLeftOutAndMissingRowsAreBlank) {
  // 40 rows of 40 dots given as a page of 20 x 60 dots at scale 4: the
  // cells past 20 dots across are left out, and the rows past the stream's
  // last line are blank.
  const Bytes s = randomPage(
      40, 1, [](int) { return 10; }, 9);
  const std::vector<escp::DotPage> built = whole(s, 4);
  escp::DotPage given = built[0];
  given.dotWidth = 20;
  given.dotHeight = 60;
  const std::vector<escp::DotPage> got = byRows(s, 4, {given}, ::testing::TempDir() + "page_rows_cut");
  std::remove((::testing::TempDir() + "page_rows_cut0").c_str());
  ASSERT_EQ(1u, got.size());
  ASSERT_EQ(5, got[0].width);
  ASSERT_EQ(15, got[0].height);
  for (int y = 0; y < got[0].height; ++y)
    for (int x = 0; x < got[0].width; ++x)
      EXPECT_EQ(y < built[0].height ? built[0].cell(0, x, y) : 0u, got[0].cell(0, x, y)) << x << "," << y;
}

}  // namespace
