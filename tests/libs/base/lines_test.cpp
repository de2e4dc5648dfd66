#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Base.h"
#include "platform/scratch_folder.h"

namespace {

using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::writeBytes;

struct Line {
  int result;
  std::string text;
  bool operator==(const Line&) const = default;
};

// Every call's result until the end of the file (and the 0 that ends it).
std::vector<Line> readLines(const std::string& path, int size) {
  std::vector<Line> lines;
  platform::FileHandle file = platform::openFile(path.c_str(), platform::OpenMode::ReadShared);
  if (!file) return lines;
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '#');
  for (int guard = 0; guard < 1000; ++guard) {
    int result = jFilesGets(file, buffer.data(), size);
    lines.push_back({result, result > 0 ? std::string(buffer.data()) : std::string()});
    if (result == 0) break;
  }
  platform::closeFile(file);
  return lines;
}

std::vector<Line> readBytesAsLines(const ScratchFolder& scratch, const std::string& bytes, int size = 300) {
  const std::string path = scratch.join("lines.txt");
  if (!writeBytes(path, bytes)) return {};
  return readLines(path, size);
}

TEST(LinesTest, EveryLineEndIsStrippedAndEmptyLinesArePositive) {
  ScratchFolder scratch;
  EXPECT_EQ(
      readBytesAsLines(scratch, "a\r\nbc\nd\re\r\n\n\r\r\nlast"),
      (std::vector<Line>{{2, "a"}, {3, "bc"}, {2, "d"}, {2, "e"}, {1, ""}, {1, ""}, {1, ""}, {5, "last"}, {0, ""}}));
  EXPECT_EQ(readBytesAsLines(scratch, ""), (std::vector<Line>{{0, ""}}));
  EXPECT_EQ(readBytesAsLines(scratch, "\r\n"), (std::vector<Line>{{1, ""}, {0, ""}}));
  EXPECT_EQ(readBytesAsLines(scratch, "only"), (std::vector<Line>{{5, "only"}, {0, ""}}));
}

TEST(LinesTest, LineEndsAcrossTheReadAheadAreFound) {
  ScratchFolder scratch;
  // Line ends that fall on the last byte of a read-ahead block and beyond.
  for (std::size_t length : {254u, 255u, 256u, 257u, 511u, 512u}) {
    const std::string body(length, 'k');
    EXPECT_EQ(readBytesAsLines(scratch, body + "\r\nnext", 1000),
              (std::vector<Line>{{static_cast<int>(length) + 1, body}, {5, "next"}, {0, ""}}))
        << length;
    EXPECT_EQ(readBytesAsLines(scratch, body + "\rnext", 1000),
              (std::vector<Line>{{static_cast<int>(length) + 1, body}, {5, "next"}, {0, ""}}))
        << length;
    EXPECT_EQ(readBytesAsLines(scratch, body + "\r", 1000),
              (std::vector<Line>{{static_cast<int>(length) + 1, body}, {0, ""}}))
        << length;
  }
}

TEST(LinesTest, OverLongLinesAreCutAndTheirRestSkipped) {
  ScratchFolder scratch;
  const std::string longLine(700, 'L');
  EXPECT_EQ(readBytesAsLines(scratch, "CYAN=1\r\n" + longLine + "\r\nMAGENTA=2\r\n"),
            (std::vector<Line>{{7, "CYAN=1"}, {300, std::string(299, 'L')}, {10, "MAGENTA=2"}, {0, ""}}));
  // Exactly size - 1 bytes fit whole.
  EXPECT_EQ(readBytesAsLines(scratch, std::string(299, 'x') + "\ny", 300),
            (std::vector<Line>{{300, std::string(299, 'x')}, {2, "y"}, {0, ""}}));
  // The cut never leaves half of 表.
  const std::string wide = std::string(298, 'a') + "表zz";
  EXPECT_EQ(readBytesAsLines(scratch, wide + "\r\nz", 300),
            (std::vector<Line>{{299, std::string(298, 'a')}, {2, "z"}, {0, ""}}));
  // A one-byte buffer still tells lines from the end.
  EXPECT_EQ(readBytesAsLines(scratch, "ab\n\ncd", 1), (std::vector<Line>{{1, ""}, {1, ""}, {1, ""}, {0, ""}}));
}

TEST(LinesTest, PutsWritesCrLfAndRoundTrips) {
  ScratchFolder scratch;
  const std::string path = scratch.join("ソフト.ENV");
  platform::FileHandle file = platform::openFile(path.c_str(), platform::OpenMode::CreateAlways);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(jFilesPuts(file, "PRNNAME=表示能力"), 1);
  EXPECT_EQ(jFilesPuts(file, ""), 1);
  EXPECT_EQ(jFilesPuts(file, "HOLDJOB=20"), 1);
  platform::closeFile(file);
  EXPECT_EQ(readBytes(path), "PRNNAME=表示能力\r\n\r\nHOLDJOB=20\r\n");
  EXPECT_EQ(readLines(path, 256), (std::vector<Line>{{17, "PRNNAME=表示能力"}, {1, ""}, {11, "HOLDJOB=20"}, {0, ""}}));
}

TEST(LinesTest, BadArgumentsAreRefused) {
  char buffer[8];
  EXPECT_EQ(jFilesGets(nullptr, buffer, sizeof buffer), 0);
  EXPECT_EQ(jFilesPuts(nullptr, "x"), 0);
  ScratchFolder scratch;
  ASSERT_TRUE(writeBytes(scratch.join("x.txt"), "abc\n"));
  platform::FileHandle file = platform::openFile(scratch.join("x.txt").c_str(), platform::OpenMode::ReadShared);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(jFilesGets(file, buffer, 0), 0);
  EXPECT_EQ(jFilesGets(file, nullptr, 8), 0);
  EXPECT_EQ(jFilesGets(file, buffer, sizeof buffer), 4);  // nothing consumed by the refusals
  platform::closeFile(file);
}

}  // namespace
