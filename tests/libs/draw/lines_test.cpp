#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "Draw.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace {

// A file in the test output folder, deleted at the end of the test.
struct TextFile : ::testing::Test {
  void SetUp() override {
    const char* folder = std::getenv("VLX_TEST_OUTPUT");
    std::string dir = folder && *folder ? folder : ".";
    platform::createFolder(dir.c_str());
    ASSERT_TRUE(platform::makeTempFile(dir.c_str(), "lin", path, sizeof path));
  }
  void TearDown() override { platform::deleteFile(path); }

  void writeRaw(const std::string& bytes) {
    platform::FileHandle f = platform::openFile(path, platform::OpenMode::CreateAlways);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(platform::writeAll(f, bytes.data(), bytes.size()));
    platform::closeFile(f);
  }
  std::string readRaw() {
    char buffer[4096];
    std::size_t length = 0;
    EXPECT_TRUE(platform::readWholeFile(path, buffer, sizeof buffer, &length));
    return std::string(buffer, length);
  }
  // Every line as jFileGets delivers it, "|" between them, with the lengths.
  std::string readLines(int size = 256, std::string* lengths = nullptr) {
    platform::FileHandle f = platform::openFile(path, platform::OpenMode::ReadShared);
    EXPECT_NE(f, nullptr);
    std::string lines;
    char buffer[1024];
    for (int n = 0; n < 100; ++n) {
      const int length = jFileGets(f, buffer, size, 1);
      if (lengths) *lengths += std::to_string(length) + " ";
      if (length < 0) break;
      EXPECT_EQ(static_cast<std::size_t>(length), std::strlen(buffer));
      lines += std::string(buffer) + "|";
    }
    platform::closeFile(f);
    return lines;
  }

  char path[platform::kMaxPath];
};

TEST_F(TextFile, WrittenLinesEndInCrLfAndReadBackWithTheirLengths) {
  platform::FileHandle f = platform::openFile(path, platform::OpenMode::CreateAlways);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(jFilePuts(f, "AUTOPRN=ON"), 1);
  EXPECT_EQ(jFilePuts(f, ""), 1);
  EXPECT_EQ(jFilePuts(f, "PRNNAME=印刷機ソ表"), 1);
  platform::closeFile(f);

  EXPECT_EQ(readRaw(), "AUTOPRN=ON\r\n\r\nPRNNAME=印刷機ソ表\r\n");
  std::string lengths;
  EXPECT_EQ(readLines(256, &lengths), "AUTOPRN=ON||PRNNAME=印刷機ソ表|");
  EXPECT_EQ(lengths, "10 0 " + std::to_string(std::strlen("PRNNAME=印刷機ソ表")) + " -1 ");
}

TEST_F(TextFile, AnyLineEndIsStripped) {
  writeRaw("a\rb\nc\r\nlast");
  EXPECT_EQ(readLines(), "a|b|c|last|");
}

TEST_F(TextFile, EmptyFileIsAtItsEndAtOnce) {
  writeRaw("");
  std::string lengths;
  EXPECT_EQ(readLines(256, &lengths), "");
  EXPECT_EQ(lengths, "-1 ");
}

TEST_F(TextFile, LongLinesAreCutToTheBuffer) {
  writeRaw(std::string(300, 'x') + "\r\nnext\r\n");
  std::string lengths;
  EXPECT_EQ(readLines(8, &lengths), "xxxxxxx|next|");
  EXPECT_EQ(lengths, "7 4 -1 ");
}

TEST_F(TextFile, BadArgumentsReadNothing) {
  writeRaw("line\r\n");
  char buffer[16] = "old";
  EXPECT_EQ(jFileGets(nullptr, buffer, sizeof buffer, 1), -1);
  EXPECT_STREQ(buffer, "");
  platform::FileHandle f = platform::openFile(path, platform::OpenMode::ReadShared);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(jFileGets(f, nullptr, 16, 1), -1);
  EXPECT_EQ(jFileGets(f, buffer, 0, 1), -1);
  EXPECT_EQ(jFileGets(f, buffer, sizeof buffer, 2), -1) << "only text lines";
  EXPECT_EQ(jFileGets(f, buffer, sizeof buffer, 1), 4) << "nothing was consumed";
  platform::closeFile(f);
  EXPECT_EQ(jFilePuts(nullptr, "x"), 0);
}

}  // namespace
