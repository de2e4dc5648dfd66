#include "platform/file.h"

#include <gtest/gtest.h>

#include <string>

#include "scratch_folder.h"

namespace {

using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::writeBytes;

TEST(FileTest, CreateAppendReadAndSize) {
  ScratchFolder scratch;
  const std::string path = scratch.join("ソ.ink");
  platform::FileHandle file = platform::openFile(path.c_str(), platform::OpenMode::CreateAlways);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(platform::writeAll(file, "abc", 3));
  platform::closeFile(file);

  file = platform::openFile(path.c_str(), platform::OpenMode::AppendOrCreate);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(platform::writeAll(file, "de", 2));
  platform::closeFile(file);
  EXPECT_EQ(readBytes(path), "abcde");

  file = platform::openFile(path.c_str(), platform::OpenMode::ReadExclusive);
  ASSERT_NE(file, nullptr);
  std::uint64_t size = 0;
  ASSERT_TRUE(platform::fileSize(file, &size));
  EXPECT_EQ(size, 5u);
  char buffer[8] = {};
  EXPECT_EQ(platform::readFile(file, buffer, 4), 4);
  ASSERT_TRUE(platform::seekRelative(file, -3));
  EXPECT_EQ(platform::readFile(file, buffer, sizeof buffer), 4);
  EXPECT_EQ(std::string(buffer, 4), "bcde");
  EXPECT_EQ(platform::readFile(file, buffer, sizeof buffer), 0);  // end
  platform::closeFile(file);

  // CreateAlways truncates.
  ASSERT_TRUE(writeBytes(path, "z"));
  EXPECT_EQ(readBytes(path), "z");
}

TEST(FileTest, MissingFilesAndFoldersDoNotOpen) {
  ScratchFolder scratch;
  EXPECT_EQ(platform::openFile(scratch.join("missing").c_str(), platform::OpenMode::ReadShared), nullptr);
  EXPECT_EQ(platform::openFile(scratch.path().c_str(), platform::OpenMode::ReadShared), nullptr);
  EXPECT_EQ(platform::openFile(scratch.join("no/such/folder.txt").c_str(), platform::OpenMode::CreateAlways), nullptr);
  EXPECT_EQ(platform::openFile("", platform::OpenMode::ReadShared), nullptr);
}

TEST(FileTest, ReadWholeFileRefusesWhatDoesNotFit) {
  ScratchFolder scratch;
  const std::string path = scratch.join("data.bin");
  ASSERT_TRUE(writeBytes(path, "12345678"));
  char buffer[8];
  std::size_t length = 99;
  ASSERT_TRUE(platform::readWholeFile(path.c_str(), buffer, sizeof buffer, &length));  // exactly full
  EXPECT_EQ(length, 8u);
  EXPECT_FALSE(platform::readWholeFile(path.c_str(), buffer, 7, &length));
  EXPECT_EQ(length, 0u);
  EXPECT_FALSE(platform::readWholeFile(scratch.join("missing").c_str(), buffer, sizeof buffer, &length));
}

}  // namespace
