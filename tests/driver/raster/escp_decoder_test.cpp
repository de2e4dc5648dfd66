#include "libs/escdecode/escp_decoder.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <string>
#include <vector>

#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/png_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytes(std::initializer_list<int> list) {
  Bytes b;
  for (int v : list) b.push_back(static_cast<uint8_t>(v));
  return b;
}
void append(Bytes& to, const Bytes& more) {
  to.insert(to.end(), more.begin(), more.end());
}
void append(Bytes& to, const std::string& text) {
  to.insert(to.end(), text.begin(), text.end());
}

// A small page: frame commands, two planes on line 0, a move of two lines,
// one plane on line 3, a form feed.
Bytes samplePage() {
  Bytes s(16, 0x11);
  append(s, bytes({0, 0, 0, 0x1B, 0x01}));
  append(s, std::string("@EJL 1284.4\n@EJL     \n"));
  append(s, bytes({0x1B, '@', 0x1B, '(', 'R', 8, 0, 0}));
  append(s, std::string("REMOTE1JS"));
  append(s, bytes({11, 0, 0}));
  append(s, std::string("PRINT_JOB"));
  append(s, bytes({0, 'L', 'D', 0, 0, 0x1B, 0, 0, 0}));
  append(s, bytes({0x1B, '(', 'G', 1, 0, 1, 0x1B, 'U', 0}));
  // cyan: dots large, small, medium, none | none x4
  append(s, bytes({0x1B, '(', '$', 4, 0, 0, 0, 0, 0, 0x1B, 'i', 0x02, 1, 2, 2, 0, 1, 0, 0x01, 0xD8, 0x00, 0x0D}));
  // light-light black: C0 twice, a large dot at 0 and at 4
  append(s, bytes({0x1B, '(', '$', 4, 0, 0, 0, 0, 0, 0x1B, 'i', 0x30, 1, 2, 2, 0, 1, 0, 0xFF, 0xC0, 0x0D}));
  append(s, bytes({0x1B, '(', 'v', 4, 0, 1, 0, 0, 0, 0x1B, '(', 'v', 2, 0, 2, 0}));
  append(s, bytes({0x1B, 'i', 0x00, 1, 2, 2, 0, 1, 0, 0xFF, 0xFF, 0x0D, 0x0C}));
  return s;
}

TEST(EscpDecoder, ListsEveryFrameOfAPage) {
  const Bytes s = samplePage();
  escp::Stream stream;
  ASSERT_TRUE(escp::decodeStream(s.data(), s.size(), &stream)) << stream.problems[0].message;
  std::vector<std::string> names;
  for (const escp::Frame& f : stream.frames) names.push_back(f.name);
  const std::vector<std::string> expected = {"preamble",
                                             "exit packet mode",
                                             "@EJL 1284.4",
                                             "@EJL     ",
                                             "@",
                                             "(R",
                                             "JS",
                                             "LD",
                                             "exit remote mode",
                                             "(G",
                                             "U",
                                             "($",
                                             "i",
                                             "CR",
                                             "($",
                                             "i",
                                             "CR",
                                             "(v",
                                             "(v",
                                             "i",
                                             "CR",
                                             "FF"};
  EXPECT_EQ(expected, names);
  EXPECT_EQ(16u, stream.frames[0].length);
  EXPECT_EQ(bytes({0, 'P', 'R', 'I', 'N', 'T', '_', 'J', 'O', 'B', 0}), stream.frames[6].params);
  const escp::Frame& cyan = stream.frames[12];
  EXPECT_EQ(escp::FrameKind::kRasterRow, cyan.kind);
  EXPECT_EQ(2, cyan.colorCode);
  EXPECT_EQ(2, cyan.declaredBytes);
  EXPECT_EQ(bytes({0xD8, 0x00}), cyan.unpacked);
  EXPECT_EQ(1, stream.frames[17].lines);
  EXPECT_EQ(2, stream.frames[18].lines);
  EXPECT_EQ(bytes({0xFF, 0xFF}), stream.frames[19].unpacked);
}

TEST(EscpDecoder, EveryCutOfTheStreamIsReportedAndNeverOverread) {
  const Bytes s = samplePage();
  for (size_t n = 1; n < s.size(); ++n) {
    Bytes cut(s.begin(), s.begin() + static_cast<long>(n));  // exact size, so ASan sees any overread
    escp::Stream stream;
    const bool clean = escp::decodeStream(cut.data(), cut.size(), &stream);
    if (clean) continue;  // cut between frames
    ASSERT_FALSE(stream.problems.empty()) << n;
    EXPECT_LE(stream.problems[0].offset, n);
  }
}

TEST(EscpDecoder, MalformedPackets) {
  struct Case {
    const char* what;
    Bytes packed;
    size_t declared;
  } cases[] = {
      {"header 80", bytes({0x80, 0x00}), 1},
      {"literal cut off", bytes({0x03, 1, 2}), 4},
      {"repeat without its byte", bytes({0xFE}), 3},
      {"too long", bytes({0xFE, 7}), 2},
      {"too short", bytes({0xFF, 7}), 3},
  };
  for (const Case& c : cases) {
    Bytes out;
    std::string error;
    EXPECT_FALSE(escp::unpackBits(c.packed.data(), c.packed.size(), c.declared, &out, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
  Bytes out;
  std::string error;
  EXPECT_TRUE(escp::unpackBits(bytes({0x01, 5, 6, 0xFD, 9}).data(), 5, 6, &out, &error));
  EXPECT_EQ(bytes({5, 6, 9, 9, 9, 9}), out);
}

TEST(EscpDecoder, UnknownBytesStopTheDecoding) {
  const Bytes s = bytes({0x1B, '@', 0x42, 0x1B, '@'});
  escp::Stream stream;
  EXPECT_FALSE(escp::decodeStream(s.data(), s.size(), &stream));
  ASSERT_EQ(1u, stream.problems.size());
  EXPECT_EQ(2u, stream.problems[0].offset);
  EXPECT_EQ(1u, stream.frames.size());
}

TEST(DotPages, RowsLandOnTheLinesTheMovesReach) {
  const Bytes s = samplePage();
  escp::Stream stream;
  ASSERT_TRUE(escp::decodeStream(s.data(), s.size(), &stream));
  std::vector<escp::DotPage> pages;
  std::string error;
  ASSERT_TRUE(escp::buildPages(stream, 1, &pages, &error)) << error;
  ASSERT_EQ(1u, pages.size());
  const escp::DotPage& p = pages[0];
  EXPECT_EQ(8, p.dotWidth);
  EXPECT_EQ(4, p.dotHeight);
  EXPECT_EQ(3, p.dot(0, 0, 0));
  EXPECT_EQ(1, p.dot(0, 1, 0));
  EXPECT_EQ(2, p.dot(0, 2, 0));
  EXPECT_EQ(0, p.dot(0, 3, 0));
  EXPECT_EQ(3, p.dot(7, 0, 0));
  EXPECT_EQ(0, p.dot(7, 1, 0));
  EXPECT_EQ(3, p.dot(7, 4, 0));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(3, p.dot(3, x, 3));
  for (int y : {1, 2})
    for (int x = 0; x < 8; ++x) EXPECT_EQ(0, p.dot(3, x, y));
  EXPECT_DOUBLE_EQ(1.0, escp::meanCoverage(p, 3, 0, 3, 8, 4));
  EXPECT_DOUBLE_EQ((4080.0 + 1024 + 2048) / (4080.0 * 8), escp::meanCoverage(p, 0, 0, 0, 8, 1));
}

TEST(DotPages, CellsSumTheirDotsAndFormFeedsSplitPages) {
  Bytes s = samplePage();
  append(s, bytes({0x1B, 'i', 0x04, 1, 2, 2, 0, 1, 0, 0xFF, 0xAA, 0x0D, 0x0C}));
  escp::Stream stream;
  ASSERT_TRUE(escp::decodeStream(s.data(), s.size(), &stream));
  std::vector<escp::DotPage> pages;
  std::string error;
  ASSERT_TRUE(escp::buildPages(stream, 4, &pages, &error));
  ASSERT_EQ(2u, pages.size());
  EXPECT_EQ(2, pages[0].width);
  EXPECT_EQ(1, pages[0].height);
  EXPECT_EQ(4080u * 4, pages[0].cell(3, 1, 0));
  // One line of the cell's four holds medium dots.
  EXPECT_DOUBLE_EQ(4 * 2048.0 / (4080 * 16), escp::meanCoverage(pages[1], 2, 0, 0, 2, 1));
  const std::vector<uint8_t> rgb = escp::composite(pages[1]);
  EXPECT_EQ(255, rgb[0]);  // yellow takes only blue
  EXPECT_LT(rgb[2], 255);
}

TEST(EscpDecoder, ARowThatDoesNotUnpackIsAProblemNotAFrame) {
  // The scan takes a repeat of 3 bytes for a declared 2: too many.
  const Bytes s = bytes({0x1B, '@', 0x1B, 'i', 0x02, 1, 2, 2, 0, 1, 0, 0xFE, 0x00});
  escp::Stream stream;
  EXPECT_FALSE(escp::decodeStream(s.data(), s.size(), &stream));
  ASSERT_EQ(1u, stream.problems.size());
  EXPECT_EQ(2u, stream.problems[0].offset);
  ASSERT_EQ(1u, stream.frames.size());
  EXPECT_EQ(escp::FrameKind::kEscCommand, stream.frames[0].kind);
}

TEST(DotPages, HugePaperMovesAreReportedWithoutOverflowOrGiantBuffers) {
  const Bytes row = bytes({0x1B, 'i', 0x02, 1, 2, 2, 0, 1, 0, 0x01, 0xD8, 0x00});
  for (uint32_t lines : {0x7FFFFFFFu, 0x40000000u, 0x01000001u}) {
    Bytes s = bytes({0x1B, '(', 'v', 4, 0});
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<uint8_t>(lines >> (8 * i)));
    append(s, row);
    escp::Stream stream;
    ASSERT_TRUE(escp::decodeStream(s.data(), s.size(), &stream)) << lines;
    std::vector<escp::DotPage> pages;
    std::string error;
    EXPECT_FALSE(escp::buildPages(stream, 1, &pages, &error)) << lines;
    EXPECT_NE(std::string::npos, error.find("too large")) << lines;
  }
  // Long but possible: the move costs no memory, and the page is built.
  Bytes s = bytes({0x1B, '(', 'v', 4, 0, 0x00, 0x00, 0x10, 0x00});  // 2^20 lines
  append(s, row);
  escp::Stream stream;
  ASSERT_TRUE(escp::decodeStream(s.data(), s.size(), &stream));
  std::vector<escp::DotPage> pages;
  std::string error;
  ASSERT_TRUE(escp::buildPages(stream, 64, &pages, &error)) << error;
  ASSERT_EQ(1u, pages.size());
  EXPECT_EQ((1 << 20) + 1, pages[0].dotHeight);
  EXPECT_EQ(4080u + 1024 + 2048, pages[0].cell(0, 0, (1 << 20) / 64));
}

TEST(Png, ReadsBackAsWrittenAndIsDeflated) {
  Bytes rgb(64 * 32 * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i % 3 == 0 ? (i / 192) * 8 : 40);
  const Bytes png = escp::encodePng(64, 32, rgb);
  int w = 0, h = 0, n = 0;
  stbi_uc* back = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &n, 3);
  ASSERT_NE(nullptr, back);  // stb checks nothing, but a broken zlib stream fails to inflate
  EXPECT_EQ(Bytes(back, back + rgb.size()), rgb);
  stbi_image_free(back);
  EXPECT_EQ(64, w);
  EXPECT_EQ(32, h);
  EXPECT_LT(png.size(), rgb.size() / 10);
  EXPECT_EQ(bytes({0xAE, 0x42, 0x60, 0x82}), Bytes(png.end() - 4, png.end()));  // zlib's CRC of an empty IEND
  EXPECT_TRUE(escp::encodePng(0, 1, {}).empty());
}

}  // namespace
