#include "BaseD.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/module.h"
#include "platform/path.h"

namespace {

const std::string kSep(1, platform::kSeparator);

TEST(ModuleDirectoryTest, IsTheProgramFolderWithoutTrailingSeparator) {
  char folder[platform::kMaxPath] = "stale";
  ASSERT_EQ(jmtGetModuleDirectory(folder), folder);
  char program[platform::kMaxPath];
  ASSERT_TRUE(platform::moduleFileName(nullptr, program, sizeof program));
  EXPECT_EQ(std::string(folder) + kSep + platform::fileNamePart(program), std::string(program));
  EXPECT_FALSE(platform::endsWithSeparator(folder));
  EXPECT_EQ(jmtGetModuleDirectory(nullptr), nullptr);
}

TEST(StrEndYenTest, ModeOneEndsInExactlyOneSeparator) {
  char path[platform::kMaxPath];
  std::strcpy(path, "C:\\vellox");
  EXPECT_EQ(std::string(jmtStrEndYen(path, 1)), "C:\\vellox" + kSep);
  std::strcpy(path, "C:\\vellox\\\\\\");
  EXPECT_STREQ(jmtStrEndYen(path, 1), "C:\\vellox\\");
  // 表 and 能 end in the byte 0x5C, which is not a separator.
  std::strcpy(path, "C:\\表");
  EXPECT_EQ(std::string(jmtStrEndYen(path, 1)), "C:\\表" + kSep);
  std::strcpy(path, "能");
  EXPECT_EQ(std::string(jmtStrEndYen(path, 1)), "能" + kSep);
}

TEST(StrEndYenTest, ModeZeroRemovesSeparatorsButNotTrailBytes) {
  char path[platform::kMaxPath];
  std::strcpy(path, "C:\\ソ\\\\");
  EXPECT_STREQ(jmtStrEndYen(path, 0), "C:\\ソ");
  EXPECT_STREQ(jmtStrEndYen(path, 0), "C:\\ソ");
  std::strcpy(path, "plain");
  EXPECT_STREQ(jmtStrEndYen(path, 0), "plain");
  EXPECT_EQ(jmtStrEndYen(nullptr, 1), nullptr);
}

TEST(StrEndYenTest, AFullBufferIsRefusedRatherThanOverrun) {
  char path[platform::kMaxPath];
  std::memset(path, 'x', sizeof path - 1);
  path[sizeof path - 1] = '\0';
  EXPECT_STREQ(jmtStrEndYen(path, 1), "");
}

}  // namespace
