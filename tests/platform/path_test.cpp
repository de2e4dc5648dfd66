#include "platform/path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using platform::kSeparator;

// The double-byte characters whose trail byte is 0x5C, the backslash.
const char kHyo[] = "表";  // 0x95 0x5C
const char kSo[] = "ソ";   // 0x83 0x5C
const char kNo[] = "能";   // 0x94 0x5C

std::string sep() {
  return std::string(1, kSeparator);
}

TEST(PathTest, LiteralsAreShiftJisWithBackslashTrailBytes) {
  ASSERT_EQ(std::strlen(kHyo), 2u);
  EXPECT_EQ(static_cast<unsigned char>(kHyo[0]), 0x95);
  EXPECT_EQ(kHyo[1], '\\');
  EXPECT_EQ(static_cast<unsigned char>(kSo[0]), 0x83);
  EXPECT_EQ(static_cast<unsigned char>(kNo[0]), 0x94);
  EXPECT_TRUE(platform::isLeadByte(0x81));
  EXPECT_TRUE(platform::isLeadByte(0x9F));
  EXPECT_TRUE(platform::isLeadByte(0xE0));
  EXPECT_TRUE(platform::isLeadByte(0xFC));
  EXPECT_FALSE(platform::isLeadByte(0x80));
  EXPECT_FALSE(platform::isLeadByte(0xA0));
  EXPECT_FALSE(platform::isLeadByte(0xB1));  // half-width katakana are single bytes
  EXPECT_FALSE(platform::isLeadByte(0xFD));
}

TEST(PathTest, TrailByteBackslashIsNeverASeparator) {
  const std::string path = std::string("C:\\") + kHyo + "\\" + kSo + ".txt";
  char folder[platform::kMaxPath];
  ASSERT_TRUE(platform::folderPart(path.c_str(), folder, sizeof folder));
  EXPECT_EQ(std::string(folder), std::string("C:\\") + kHyo);
  EXPECT_EQ(std::string(platform::fileNamePart(path.c_str())), std::string(kSo) + ".txt");

  // A name that ends in a trail byte 0x5C: no separator, no folder part.
  EXPECT_FALSE(platform::endsWithSeparator(kNo));
  EXPECT_STREQ(platform::fileNamePart(kNo), kNo);
  ASSERT_TRUE(platform::folderPart(kNo, folder, sizeof folder));
  EXPECT_STREQ(folder, "");
}

TEST(PathTest, TrailingSeparatorsAfterDoubleByteNames) {
  char path[platform::kMaxPath];
  std::string start = std::string("data") + kSeparator + kHyo;
  std::strcpy(path, start.c_str());
  ASSERT_TRUE(platform::ensureTrailingSeparator(path, sizeof path));
  EXPECT_EQ(std::string(path), start + sep());
  ASSERT_TRUE(platform::ensureTrailingSeparator(path, sizeof path));  // still exactly one
  EXPECT_EQ(std::string(path), start + sep());

  std::strcpy(path, (std::string(kNo) + "\\\\/").c_str());
  EXPECT_TRUE(platform::endsWithSeparator(path));
  platform::removeTrailingSeparators(path);
  EXPECT_STREQ(path, kNo);
  platform::removeTrailingSeparators(path);  // the trail byte stays
  EXPECT_STREQ(path, kNo);

  std::strcpy(path, (std::string(kSo) + "//").c_str());
  ASSERT_TRUE(platform::ensureTrailingSeparator(path, sizeof path));
  EXPECT_EQ(std::string(path), std::string(kSo) + "/");

  path[0] = '\0';
  ASSERT_TRUE(platform::ensureTrailingSeparator(path, sizeof path));
  EXPECT_STREQ(path, "");
}

TEST(PathTest, JoinPutsExactlyOneSeparator) {
  char out[platform::kMaxPath];
  ASSERT_TRUE(platform::joinPath(out, sizeof out, kHyo, "HotFolder"));
  EXPECT_EQ(std::string(out), std::string(kHyo) + sep() + "HotFolder");
  ASSERT_TRUE(platform::joinPath(out, sizeof out, (std::string("a") + sep() + sep()).c_str(), kSo));
  EXPECT_EQ(std::string(out), "a" + sep() + kSo);
  ASSERT_TRUE(platform::joinPath(out, sizeof out, "", "name"));
  EXPECT_STREQ(out, "name");  // stays relative

  // In place: out is also the folder.
  std::strcpy(out, "base");
  ASSERT_TRUE(platform::joinPath(out, sizeof out, out, "x.txt"));
  EXPECT_EQ(std::string(out), "base" + sep() + "x.txt");
}

TEST(PathTest, OverLongPathsAreRefusedNotCut) {
  const std::string folder(250, 'f');
  char out[platform::kMaxPath];
  std::strcpy(out, "stale");
  EXPECT_FALSE(platform::joinPath(out, sizeof out, folder.c_str(), "0123456789"));
  EXPECT_STREQ(out, "");
  ASSERT_TRUE(platform::joinPath(out, sizeof out, folder.c_str(), "12345678"));  // 259 bytes fit
  EXPECT_EQ(std::strlen(out), 259u);

  const std::string long260(260, 'x');
  EXPECT_FALSE(platform::copyString(out, sizeof out, long260.c_str()));
  EXPECT_STREQ(out, "");
  EXPECT_TRUE(platform::copyString(out, sizeof out, long260.substr(1).c_str()));

  char full[platform::kMaxPath];
  std::strcpy(full, std::string(259, 'y').c_str());
  EXPECT_FALSE(platform::ensureTrailingSeparator(full, sizeof full));
  EXPECT_STREQ(full, "");

  char small[8];
  EXPECT_FALSE(platform::folderPart("abcdefgh/i", small, sizeof small));
  EXPECT_STREQ(small, "");

  char extension[12] = "name.exe";
  EXPECT_FALSE(platform::replaceExtension(extension, sizeof extension, ".LONGER1"));
  EXPECT_STREQ(extension, "");
}

TEST(PathTest, TruncatedCopyNeverSplitsACharacter) {
  char out[4];
  platform::copyTruncated(out, sizeof out, (std::string("a") + kHyo + "b").c_str());
  EXPECT_EQ(std::string(out), std::string("a") + kHyo);
  platform::copyTruncated(out, sizeof out, (std::string("ab") + kHyo).c_str());
  EXPECT_STREQ(out, "ab");
}

TEST(PathTest, ExtensionsAreCutOnlyInTheFileName) {
  char path[platform::kMaxPath];
  std::strcpy(path, "dir.v2/vellox.exe");
  platform::cutExtension(path);
  EXPECT_STREQ(path, "dir.v2/vellox");
  platform::cutExtension(path);  // no '.' in the name: whole
  EXPECT_STREQ(path, "dir.v2/vellox");
  std::strcpy(path, "a.b.c");
  platform::cutExtension(path);
  EXPECT_STREQ(path, "a.b");

  std::strcpy(path, (std::string("C:\\") + kSo + ".exe").c_str());
  ASSERT_TRUE(platform::replaceExtension(path, sizeof path, ".ENV"));
  EXPECT_EQ(std::string(path), std::string("C:\\") + kSo + ".ENV");
  std::strcpy(path, "vellox");
  ASSERT_TRUE(platform::replaceExtension(path, sizeof path, "ENV"));
  EXPECT_STREQ(path, "vellox.ENV");
}

TEST(PathTest, CaseIsFoldedOnlyForSingleByteLetters) {
  EXPECT_EQ(platform::compareNoCase("HotFolder", "HOTFOLDER"), 0);
  EXPECT_TRUE(platform::equalNoCase("a.Ink", "A.INK"));
  EXPECT_LT(platform::compareNoCase("abc", "ABD"), 0);
  EXPECT_GT(platform::compareNoCase("abc", "AB"), 0);
  // ａ (0x82 0x81) and Ａ (0x82 0x60): different characters, never folded.
  EXPECT_NE(platform::compareNoCase("ａ", "Ａ"), 0);
  // Trail bytes in the letter range: ア is 0x83 0x41 ('A'), ヂ 0x83 0x61 ('a').
  EXPECT_NE(platform::compareNoCase("ア", "ヂ"), 0);
  EXPECT_NE(platform::compareNoCaseN("ア", "ヂ", 2), 0);
  EXPECT_EQ(platform::compareNoCase("xア", "Xア"), 0);
  // Half-width katakana stay as they are.
  EXPECT_EQ(platform::compareNoCase("ｶﾗｰ", "ｶﾗｰ"), 0);

  EXPECT_EQ(platform::compareNoCaseN("PX-H10000", "px-h10000 extra", 9), 0);
  EXPECT_NE(platform::compareNoCaseN("PX-H10000", "px-h1000", 9), 0);
  EXPECT_TRUE(platform::endsWithNoCase("JOB.Drx", ".DRX"));
  EXPECT_FALSE(platform::endsWithNoCase("JOB.Drx", ".DRXX"));
  // ".ｱ" must not match by starting on a trail byte.
  EXPECT_FALSE(platform::endsWithNoCase("ア", "A"));
}

}  // namespace
