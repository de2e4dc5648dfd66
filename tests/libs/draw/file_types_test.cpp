// Drawing-file types: a host's tag, its information record and its file
// type are kept in the library's registration file, a change at a time,
// and what the library does not own or cannot read is refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "Draw.h"
#include "platform/scratch_folder.h"

namespace {

void useStore(const std::string& path) {
  testing_support::setEnvironment("VLX_DRAW_TYPES", path.c_str());
}

struct FileTypes : ::testing::Test {
  void SetUp() override { useStore(store); }
  void TearDown() override { useStore(""); }
  testing_support::ScratchFolder folder;
  std::string store = folder.join("DRXTYPES.TXT");
};

TEST_F(FileTypes, AHostsTypeKeepsItsNumberAndEveryOtherHostsBytes) {
  ASSERT_EQ(jFileSetDRXTag("ABCD"), 1);
  const int other = jFileGetFinfoNum(16, 0);
  ASSERT_EQ(other, 16);
  jFileTypeInfo mine{};
  for (std::size_t i = 0; i < sizeof mine; ++i)
    reinterpret_cast<unsigned char*>(&mine)[i] = static_cast<unsigned char>(i * 7);
  ASSERT_EQ(jFileSetFinfo(other, &mine), 1);

  ASSERT_EQ(jFileSetDRXTag("WXYZ"), 1);
  EXPECT_EQ(jFileGetFinfoNum(16, 0), 17) << "the next free number";
  EXPECT_EQ(jFileGetFinfoNum(16, 0), 17) << "asked again, the same";
  EXPECT_EQ(jFileSetFinfo(other, &mine), 0) << "another host's type";
  jFileTypeInfo buffer{};
  ASSERT_EQ(jFileGetFinfo(&buffer, other), &buffer);
  EXPECT_EQ(0, std::memcmp(&buffer, &mine, sizeof mine)) << "every byte kept";
  EXPECT_EQ(jFileGetFinfo(&buffer, 18), nullptr) << "no such type";
  EXPECT_EQ(jFileSetFinfo(0, &mine), 0) << "the library's own job type";
  ASSERT_EQ(jFileGetFinfo(&buffer, 0), &buffer);
  EXPECT_STREQ(".vjx", buffer.extension);
}

TEST_F(FileTypes, WhatCannotBeReadOrNamedIsRefusedAndNothingIsWritten) {
  const std::string kept = "INFO ABCD 00\r\nTYPE 16 ABCD zz\r\n";  // lines that do not read whole
  const struct {
    const char* what;
    const char* tag;
    bool storeIsFolder;
    int tagResult;
  } cases[] = {
      {"a tag of five", "ABCDE", false, 0},
      {"an empty tag", "", false, 0},
      {"a tag with a blank", "A B", false, 0},
      {"a store that cannot be read", "MRVX", true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing_support::ScratchFolder own;
    const std::string path = own.join("DRXTYPES.TXT");
    useStore(path);
    const bool made = c.storeIsFolder ? platform::createFolder(path.c_str()) : testing_support::writeBytes(path, kept);
    ASSERT_TRUE(made);
    jFileSetDRXTag("");  // no tag of an earlier case carries over
    EXPECT_EQ(jFileSetDRXTag(c.tag), c.tagResult);
    jDrxInfo info{};
    EXPECT_EQ(jFileGetDRXInfo(&info), 0);
    EXPECT_EQ(jFileSetDRXInfo(&info), 0);
    EXPECT_EQ(jFileGetFinfoNum(16, 0), -1);
    if (!c.storeIsFolder) {
      EXPECT_EQ(testing_support::readBytes(path), kept);
    }
  }
}

}  // namespace
