#include "app/shell/main_layout.h"

#include <gtest/gtest.h>

namespace vlx {

std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

const int32_t kNoSavedRect[4] = {0, 0, 0, 0};

TEST(MainLayoutTest, FirstSizingSplitsTheRoomEvenly) {
  SplitLayout split;
  // 784 x 342 client, toolbar 28, status bar 22: A = 292, upper height 141.
  const MainLayout l = layoutMainWindow({784, 342, 28, 22, kNoSavedRect}, &split);
  EXPECT_EQ((Rect{0, 30, 652, 171}), l.upperList);
  EXPECT_EQ((Rect{0, 179, 652, 320}), l.lowerList);
  EXPECT_EQ((Rect{0, 171, 652, 179}), l.splitter);
  EXPECT_EQ((Rect{652, 30, 784, 322}), l.rightPanel);
  EXPECT_EQ((Rect{660, 29, 776, 184}), l.previewPanel);
  EXPECT_EQ(kSplitterIdle, split.state);
}

TEST(MainLayoutTest, OddRoomRoundsTheEvenSplitTowardZero) {
  SplitLayout split;
  const MainLayout l = layoutMainWindow({300, 100, 20, 20, kNoSavedRect}, &split);  // A = 60: (60 - 10) / 2
  EXPECT_EQ(22 + 25, l.upperList.bottom);
  SplitLayout tiny;
  const MainLayout t = layoutMainWindow({250, 45, 20, 20, kNoSavedRect}, &tiny);  // A = 5: (5 - 10) / 2 = -2
  EXPECT_EQ(22 - 2, t.upperList.bottom);
}

TEST(MainLayoutTest, FirstSizingTakesTheSavedHeight) {
  SplitLayout split;
  const int32_t saved[4] = {0, 100, 600, 245};
  const MainLayout l = layoutMainWindow({1000, 700, 28, 22, saved}, &split);
  EXPECT_EQ(30 + 145, l.upperList.bottom);
  EXPECT_EQ(30 + 145 + 8, l.lowerList.top);
}

TEST(MainLayoutTest, LaterSizingsKeepTheSplitAndFollowTheWindow) {
  SplitLayout split;
  layoutMainWindow({784, 342, 28, 22, kNoSavedRect}, &split);
  const int32_t saved[4] = {0, 100, 600, 245};  // only the first sizing looks at it
  const MainLayout l = layoutMainWindow({1200, 900, 28, 22, saved}, &split);
  EXPECT_EQ((Rect{0, 30, 1068, 171}), l.upperList);
  EXPECT_EQ((Rect{0, 179, 1068, 878}), l.lowerList);
  EXPECT_EQ((Rect{1068, 30, 1200, 880}), l.rightPanel);  // height A from T + 2
  EXPECT_EQ((Rect{1076, 29, 1192, 184}), l.previewPanel);
}

TEST(MainLayoutTest, DraggingMovesTheSplitAroundTheCursor) {
  SplitLayout split;
  layoutMainWindow({784, 342, 28, 22, kNoSavedRect}, &split);
  split.state = kSplitterDragging;
  dragSplitter(&split, 250);
  const MainLayout l = layoutMainWindow({784, 342, 28, 22, kNoSavedRect}, &split);
  EXPECT_EQ(246, l.upperList.bottom);
  EXPECT_EQ((Rect{0, 246, 652, 254}), l.splitter);
  EXPECT_EQ(254, l.lowerList.top);
  EXPECT_EQ(kSplitterDragging, split.state);
}

TEST(MainLayoutTest, RestoredUpperListCarriesTheLowerListAlong) {
  SplitLayout split;
  layoutMainWindow({784, 342, 28, 22, kNoSavedRect}, &split);
  split.upperList = {0, 30, 652, 200};  // the window moved the upper list to its saved place
  const MainLayout l = layoutMainWindow({784, 342, 28, 22, kNoSavedRect}, &split);
  EXPECT_EQ(208, l.lowerList.top);
  EXPECT_EQ((Rect{0, 200, 652, 208}), l.splitter);
}

TEST(MainLayoutTest, SplitterHitTestIncludesTheEdges) {
  SplitLayout split;
  layoutMainWindow({784, 342, 28, 22, kNoSavedRect}, &split);  // splitter {0, 171, 652, 179}
  EXPECT_TRUE(insideSplitter(split, 0, 171));
  EXPECT_TRUE(insideSplitter(split, 652, 179));
  EXPECT_FALSE(insideSplitter(split, 653, 175));
  EXPECT_FALSE(insideSplitter(split, 10, 170));
  EXPECT_FALSE(insideSplitter(split, 10, 180));
}

TEST(MainLayoutTest, CursorIsConfinedToTheListColumnBetweenTheBars) {
  EXPECT_EQ((Rect{104, 159, 764, 480}), dragConfinement({100, 100, 900, 520}, 158, 480));
}

TEST(MainLayoutTest, ProgressBarSitsInsideStatusPartZero) {
  EXPECT_EQ((Rect{3, 4, 128, 21}), progressBarRect({0, 2, 130, 24}));
}

TEST(MainLayoutTest, SavedWindowIsBroughtOntoTheWorkArea) {
  const Rect work{0, 0, 1024, 740};
  struct Case {
    Rect saved, expected;
  } cases[] = {
      {{40, 30, 740, 530}, {40, 30, 740, 530}},           // inside: unchanged
      {{5000, 5000, 5700, 5400}, {324, 340, 1024, 740}},  // far right and below
      {{100, -300, 800, 100}, {100, 0, 800, 400}},        // above the top
      {{-900, 50, -200, 450}, {0, 50, 700, 450}},         // left of the screen
      {{-50, -50, 2000, 1500}, {0, 0, 1024, 740}},        // larger than the area
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, fitIntoArea(c.saved, work)) << c.saved;
  EXPECT_EQ((Rect{1280, 0, 1980, 400}), fitIntoArea({1200, -20, 1900, 380}, {1280, 0, 2560, 1024}))
      << "a second monitor's area";
}

}  // namespace
}  // namespace vlx
