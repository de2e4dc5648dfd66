#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Draw.h"

namespace {

jFontRecord font(int32_t kind, const char* name, const char* path, int32_t a, int32_t b) {
  jFontRecord f{};
  f.kind = kind;
  std::strncpy(f.name, name, sizeof f.name - 1);
  std::strncpy(f.path, path, sizeof f.path - 1);
  f.paramA = a;
  f.paramB = b;
  return f;
}

std::string names() {
  std::string text;
  for (int i = 0; i < jFontCount(); ++i) {
    jFontRecord f{};
    EXPECT_EQ(jFontGet(i, &f), 1);
    text += std::to_string(f.kind) + ":" + f.name + " ";
  }
  return text;
}

struct Fonts : ::testing::Test {
  void SetUp() override { jFontClear(); }
  void TearDown() override { jFontClear(); }
};

TEST_F(Fonts, RegisteredInOrderWithEveryField) {
  EXPECT_EQ(jFontRegist(font(1, "日本語TrueType一覧表", "", 0, 1), -2), 1);
  EXPECT_EQ(jFontRegistTTF(font(21, "", "", 4, 1)), 1);
  EXPECT_EQ(jFontRegist(font(1, "Gothic", "", 0, 1), -2), 1);
  EXPECT_EQ(jFontRegist(font(12, "Gothic-M", "D:\\FONT\\gothm.fnx", 13, 1), -2), 1);
  EXPECT_EQ(jFontCount(), 4);
  EXPECT_EQ(names(), "1:日本語TrueType一覧表 21: 1:Gothic 12:Gothic-M ");
  jFontRecord entry{};
  ASSERT_EQ(jFontGet(3, &entry), 1);
  EXPECT_STREQ(entry.path, "D:\\FONT\\gothm.fnx");
  EXPECT_EQ(entry.paramA, 13);
  EXPECT_EQ(entry.paramB, 1);
  EXPECT_EQ(jFontSetCurrent(1), 1);
  EXPECT_EQ(jFontSetCurrent(2), 1);
  EXPECT_EQ(jFontSetCurrent(3), 0) << "only two groups";
}

TEST_F(Fonts, ClearEmptiesTheRegistry) {
  jFontRegist(font(1, "G", "", 0, 1), -2);
  EXPECT_EQ(jFontClear(), 1);
  EXPECT_EQ(jFontCount(), 0);
  EXPECT_EQ(jFontSetCurrent(1), 0);
  jFontRecord f{};
  EXPECT_EQ(jFontGet(0, &f), 0);
  EXPECT_EQ(jFontGet(-1, &f), 0);
  EXPECT_EQ(jFontGet(0, nullptr), 0);
}

TEST_F(Fonts, AModeFromZeroInsertsAtThatPlace) {
  jFontRegist(font(1, "A", "", 0, 1), -2);
  jFontRegist(font(1, "C", "", 0, 1), -2);
  EXPECT_EQ(jFontRegist(font(1, "B", "", 0, 1), 1), 1);
  EXPECT_EQ(jFontRegist(font(1, "X", "", 0, 1), 9), 0) << "past the end";
  EXPECT_EQ(names(), "1:A 1:B 1:C ");
}

TEST_F(Fonts, WrongKindsAndUnterminatedFieldsAreRefused) {
  EXPECT_EQ(jFontRegist(font(21, "T", "", 4, 1), -2), 0);
  EXPECT_EQ(jFontRegistTTF(font(1, "G", "", 0, 1)), 0);
  EXPECT_EQ(jFontRegist(font(7, "G", "", 0, 1), -2), 0);
  jFontRecord unterminated = font(1, "", "", 0, 1);
  std::memset(unterminated.name, 'N', sizeof unterminated.name);
  EXPECT_EQ(jFontRegist(unterminated, -2), 0);
  jFontRecord longPath = font(11, "F", "", 13, 2);
  std::memset(longPath.path, 'p', sizeof longPath.path);
  EXPECT_EQ(jFontRegist(longPath, -2), 0);
  EXPECT_EQ(jFontCount(), 0);
}

}  // namespace
