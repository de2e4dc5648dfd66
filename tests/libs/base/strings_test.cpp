#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Base.h"
#include "platform/path.h"

namespace {

TEST(SplitPathTest, FolderAndNameAroundDoubleByteNames) {
  const std::string path = std::string("C:\\") + "表示\\能" + "\\ソフト.drx";
  char folder[platform::kMaxPath];
  char name[platform::kMaxPath];
  ASSERT_EQ(jFilesSplitPath(path.c_str(), folder, name), 1);
  EXPECT_STREQ(folder, "C:\\表示\\能");
  EXPECT_STREQ(name, "ソフト.drx");

  ASSERT_EQ(jFilesSplitPath("表", folder, name), 1);  // the trail 0x5C is no separator
  EXPECT_STREQ(folder, "");
  EXPECT_STREQ(name, "表");

  ASSERT_EQ(jFilesSplitPath("/opt/vellox/printer/RX3.dll", nullptr, name), 1);
  EXPECT_STREQ(name, "RX3.dll");
  ASSERT_EQ(jFilesSplitPath("/opt/vellox/RX3.dll", folder, nullptr), 1);
  EXPECT_STREQ(folder, "/opt/vellox");

  // The path itself may receive a part.
  char inPlace[platform::kMaxPath] = "C:\\表\\RX3.dll";
  ASSERT_EQ(jFilesSplitPath(inPlace, inPlace, name), 1);
  EXPECT_STREQ(inPlace, "C:\\表");
  EXPECT_STREQ(name, "RX3.dll");
}

TEST(SplitPathTest, OverLongPathsAreRefused) {
  const std::string path = std::string(200, 'f') + "\\" + std::string(300, 'n');
  char folder[platform::kMaxPath] = "stale";
  char name[platform::kMaxPath] = "stale";
  EXPECT_EQ(jFilesSplitPath(path.c_str(), folder, name), 0);
  EXPECT_STREQ(folder, "");
  EXPECT_STREQ(name, "");
  EXPECT_EQ(jFilesSplitPath(nullptr, folder, name), 0);
}

TEST(StrCmpNITest, FoldsSingleByteLettersOnly) {
  EXPECT_EQ(jStrCmpNI("sc-f5000.ink", "SC-F5000.INK", 12), 0);
  EXPECT_EQ(jStrCmpNI("SC-F5000 extra", "sc-f5000", 8), 0);
  EXPECT_NE(jStrCmpNI("SC-F5000", "sc-f6000", 8), 0);
  EXPECT_EQ(jStrCmpNI("abc", "xyz", 0), 0);
  // ア (0x83 0x41) and ヂ (0x83 0x61) differ only by a trail byte in letter range.
  EXPECT_NE(jStrCmpNI("ア", "ヂ", 2), 0);
  EXPECT_NE(jStrCmpNI("ａ", "Ａ", 2), 0);
  EXPECT_EQ(jStrCmpNI("表示X", "表示x", 5), 0);
  EXPECT_NE(jStrCmpNI("short", "shorter", 7), 0);
}

TEST(StrStrTest, NeverMatchesOnATrailByte) {
  const char* text = "能力";  // 0x94 0x5C ...
  EXPECT_EQ(jStrStr(text, "\\"), nullptr);
  const char* katakana = "アイ";  // 0x83 0x41 0x83 0x43
  EXPECT_EQ(jStrStr(katakana, "A"), nullptr);
  EXPECT_EQ(jStrStr(katakana, "イ"), katakana + 2);

  const char* path = "ソ\\fixed";
  EXPECT_EQ(jStrStr(path, "\\"), path + 2);
  EXPECT_EQ(jStrStr(path, "fixed"), path + 3);
  EXPECT_EQ(jStrStr(path, "FIXED"), nullptr);  // exact
  EXPECT_EQ(jStrStr(path, ""), path);
  EXPECT_EQ(jStrStr(nullptr, "x"), nullptr);
  EXPECT_EQ(jStrStr("abc", "abcd"), nullptr);
}

}  // namespace
