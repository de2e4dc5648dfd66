#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/folders.h"
#include "scratch_folder.h"

namespace {

using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::writeBytes;

int filesIn(const std::string& folder) {
  int count = 0;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry&) {
    ++count;
    return true;
  });
  return count;
}

TEST(AtomicFileTest, SaveCreatesAndReplacesLeavingNoTemporaryFile) {
  ScratchFolder scratch;
  const std::string path = scratch.join("表.dev");
  ASSERT_TRUE(platform::saveFileAtomically(path.c_str(), "first", 5));
  EXPECT_EQ(readBytes(path), "first");
  ASSERT_TRUE(platform::saveFileAtomically(path.c_str(), "2nd", 3));
  EXPECT_EQ(readBytes(path), "2nd");
  EXPECT_EQ(filesIn(scratch.path()), 1);
}

TEST(AtomicFileTest, AbandonedOrRefusedSaveKeepsTheOldFileWhole) {
  ScratchFolder scratch;
  const std::string path = scratch.join("RX3.ink");
  writeBytes(path, "old content");

  platform::AtomicFile file;
  ASSERT_TRUE(platform::beginAtomicFile(path.c_str(), &file));
  ASSERT_TRUE(platform::writeAll(file.file, "new", 3));
  EXPECT_EQ(readBytes(path), "old content");  // nothing visible before the commit
  platform::abandonAtomicFile(&file);
  EXPECT_EQ(readBytes(path), "old content");
  EXPECT_EQ(filesIn(scratch.path()), 1);

  const std::string missingFolder = scratch.join("gone") + platform::kSeparator + "x.dev";
  EXPECT_FALSE(platform::saveFileAtomically(missingFolder.c_str(), "x", 1));
  EXPECT_FALSE(platform::pathExists(missingFolder.c_str()));
}

TEST(AtomicFileTest, TheSweepTakesOnlyOurOwnTemporariesThatNobodyWroteForAMinute) {
  ScratchFolder scratch;
  const struct {
    const char* name;
    bool old;
    bool swept;
  } cases[] = {
      {"sav1A.TMP", true, true},      {"savBEEF.tmp", true, true},   {"sav2.TMP", false, false},
      {"savor.TMP", true, false},     {"sav12345.TMP", true, false}, {"other.TMP", true, false},
      {"sav3.TMP.keep", true, false},
  };
  const auto now = std::filesystem::file_time_type::clock::now();
  for (const auto& c : cases) {
    ASSERT_TRUE(writeBytes(scratch.join(c.name), "x"));
    if (c.old) std::filesystem::last_write_time(scratch.join(c.name), now - std::chrono::minutes(2));
  }
  EXPECT_EQ(platform::sweepAtomicLeftovers(scratch.path().c_str(), 60), 2);
  for (const auto& c : cases) EXPECT_EQ(platform::pathExists(scratch.join(c.name).c_str()), !c.swept) << c.name;
}

}  // namespace
