#include "platform/folders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/clock.h"
#include "platform/file.h"
#include "scratch_folder.h"

namespace {

using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::writeBytes;

// Folder and file names whose double-byte characters end in 0x5C.
const std::string kFolderName = "表示";
const std::string kFileName = "ソフト能.drx";

TEST(FoldersTest, CreateListAndRemoveWithDoubleByteNames) {
  ScratchFolder scratch;
  const std::string folder = scratch.join(kFolderName);
  ASSERT_TRUE(platform::createFolder(folder.c_str()));
  EXPECT_FALSE(platform::createFolder(folder.c_str()));  // exists already
  EXPECT_TRUE(platform::isFolder(folder.c_str()));
  const std::string file = folder + platform::kSeparator + kFileName;
  ASSERT_TRUE(writeBytes(file, "12345"));
  ASSERT_TRUE(writeBytes(folder + platform::kSeparator + "empty.txt", ""));
  ASSERT_TRUE(platform::createFolder((folder + platform::kSeparator + "sub").c_str()));
  EXPECT_TRUE(platform::pathExists(file.c_str()));
  EXPECT_FALSE(platform::isFolder(file.c_str()));

  std::map<std::string, std::pair<bool, std::uint64_t>> seen;
  ASSERT_TRUE(platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& entry) {
    seen[entry.name] = {entry.isDirectory, entry.size};
    return true;
  }));
  ASSERT_EQ(seen.size(), 3u);  // "." and ".." are left out
  EXPECT_EQ(seen[kFileName], std::make_pair(false, std::uint64_t{5}));
  EXPECT_EQ(seen["empty.txt"], std::make_pair(false, std::uint64_t{0}));
  EXPECT_TRUE(seen["sub"].first);

  EXPECT_FALSE(platform::removeFolder(folder.c_str()));  // not empty
  EXPECT_TRUE(platform::deleteFile(file.c_str()));
  EXPECT_FALSE(platform::deleteFile(file.c_str()));
  EXPECT_FALSE(platform::pathExists(file.c_str()));
}

TEST(FoldersTest, ListingStopsWhenAskedAndFailsOnAMissingFolder) {
  ScratchFolder scratch;
  for (const char* name : {"a", "b", "c"}) ASSERT_TRUE(writeBytes(scratch.join(name), "x"));
  int visits = 0;
  EXPECT_TRUE(platform::listFolder(scratch.path().c_str(), [&](const platform::FolderEntry&) { return ++visits < 2; }));
  EXPECT_EQ(visits, 2);
  EXPECT_FALSE(
      platform::listFolder(scratch.join("missing").c_str(), [](const platform::FolderEntry&) { return true; }));

  ASSERT_TRUE(platform::createFolder(scratch.join("empty").c_str()));
  visits = 0;
  EXPECT_TRUE(
      platform::listFolder(scratch.join("empty").c_str(), [&](const platform::FolderEntry&) { return ++visits > 0; }));
  EXPECT_EQ(visits, 0);
}

TEST(FoldersTest, MoveKeepsContentAndRefusesToReplaceATarget) {
  ScratchFolder scratch;
  const std::string from = scratch.join(kFileName);
  const std::string to = scratch.join("能力.drx");
  const std::string other = scratch.join("other.drx");
  ASSERT_TRUE(writeBytes(from, "job"));
  ASSERT_TRUE(writeBytes(other, "keep me"));

  EXPECT_FALSE(platform::moveFile(from.c_str(), other.c_str()));
  EXPECT_EQ(readBytes(other), "keep me");
  EXPECT_EQ(readBytes(from), "job");

  ASSERT_TRUE(platform::moveFile(from.c_str(), to.c_str()));
  EXPECT_FALSE(platform::pathExists(from.c_str()));
  EXPECT_EQ(readBytes(to), "job");
  EXPECT_FALSE(platform::moveFile(from.c_str(), scratch.join("again").c_str()));  // source gone

  // Folders move too, and also never onto an existing name.
  ASSERT_TRUE(platform::createFolder(scratch.join("d1").c_str()));
  ASSERT_TRUE(platform::createFolder(scratch.join("d2").c_str()));
  EXPECT_FALSE(platform::moveFile(scratch.join("d1").c_str(), scratch.join("d2").c_str()));
  EXPECT_TRUE(platform::moveFile(scratch.join("d1").c_str(), scratch.join("d3").c_str()));
  EXPECT_TRUE(platform::isFolder(scratch.join("d3").c_str()));
}

TEST(FoldersTest, TempFilesAreNewEmptyAndDistinct) {
  ScratchFolder scratch;
  char first[platform::kMaxPath];
  char second[platform::kMaxPath];
  ASSERT_TRUE(platform::makeTempFile(scratch.path().c_str(), "vlxjob", first, sizeof first));
  ASSERT_TRUE(platform::makeTempFile(scratch.path().c_str(), "vlxjob", second, sizeof second));
  EXPECT_STRNE(first, second);
  EXPECT_TRUE(platform::pathExists(first));
  EXPECT_EQ(readBytes(first), "");
  const std::string name = platform::fileNamePart(first);
  EXPECT_TRUE(platform::equalNoCase(name.substr(0, 3).c_str(), "vlx")) << name;  // three prefix characters
  EXPECT_TRUE(platform::endsWithNoCase(name.c_str(), ".TMP")) << name;

  char tooSmall[8];
  EXPECT_FALSE(platform::makeTempFile(scratch.path().c_str(), "vlx", tooSmall, sizeof tooSmall));
  EXPECT_FALSE(platform::makeTempFile(scratch.join("missing").c_str(), "vlx", first, sizeof first));
}

TEST(FoldersTest, LastWriteTimeIsLocalTime) {
  ScratchFolder scratch;
  const std::string path = scratch.join(kFileName);
  const platform::LocalTime before = platform::localNow();
  ASSERT_TRUE(writeBytes(path, "x"));
  platform::FileHandle file = platform::openFile(path.c_str(), platform::OpenMode::ReadShared);
  ASSERT_NE(file, nullptr);
  platform::LocalTime written{};
  ASSERT_TRUE(platform::lastWriteLocalTime(file, &written));
  platform::closeFile(file);
  const platform::LocalTime after = platform::localNow();
  auto minutes = [](const platform::LocalTime& t) {
    return ((static_cast<long long>(t.year) * 400 + t.month * 32 + t.day) * 24 + t.hour) * 60 + t.minute;
  };
  // Same clock as localNow (a UTC time would be off by the zone's offset
  // wherever the zone is not UTC).
  EXPECT_GE(minutes(written), minutes(before));
  EXPECT_LE(minutes(written), minutes(after));
}

}  // namespace
