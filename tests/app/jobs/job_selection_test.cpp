#include "app/jobs/job_selection.h"

#include <gtest/gtest.h>

#include "app/jobs/job_list.h"
#include "app/jobs_view/fake_job_list_view.h"
#include "job_lists_support.h"

namespace vlx {
namespace {

std::string selectedPaths(const TestLists& lists, int listIndex) {
  std::string text;
  for (const JobRecord* r = lists.head(listIndex)->next; r; r = r->next) {
    if (!(r->selected & 1)) continue;
    if (!text.empty()) text += ' ';
    text += r->path;
  }
  return text;
}

// A view that notes every nextSelected call, for how the sync asks it.
struct AskedView : FakeJobListView {
  int nextSelected(int after) const override {
    asked.push_back(after);
    return FakeJobListView::nextSelected(after);
  }
  mutable std::vector<int> asked;
};

struct SelectionTest : ::testing::Test {
  SelectionTest() {
    lists.addNumbered(4);
    lists.addNumbered(2, kPrintedList);
    upper.resize(4);
    lower.resize(2);
    lists.state.viewPorts[kPrintList] = &upper;
    lists.state.viewPorts[kPrintedList] = &lower;
  }
  TestLists lists;
  AskedView upper, lower;
};

TEST_F(SelectionTest, SyncMirrorsTheSelectedRowsAndClearsTheRest) {
  jobAt(lists.head(), 0)->selected = 1;
  jobAt(lists.head(), 3)->selected = 1;
  upper.select({1, 2});
  EXPECT_EQ(syncSelection(&lists.state, kPrintList), 1);
  EXPECT_EQ(selectedPaths(lists, kPrintList), "J2 J3");
  EXPECT_EQ(upper.asked, (std::vector<int>{-1, 1, 2}));
  EXPECT_EQ(selectedPaths(lists, kPrintedList), "") << "the other list is left alone";
}

TEST_F(SelectionTest, SyncWithNothingSelectedClearsEveryRecord) {
  for (JobRecord* r = lists.head()->next; r; r = r->next) r->selected = 1;
  EXPECT_EQ(syncSelection(&lists.state, kPrintList), 1);
  EXPECT_EQ(selectedPaths(lists, kPrintList), "");
}

TEST_F(SelectionTest, RowsWithoutARecordAreSkipped) {
  upper.resize(6);
  upper.select({3, 5});
  EXPECT_EQ(syncSelection(&lists.state, kPrintList), 1);
  EXPECT_EQ(selectedPaths(lists, kPrintList), "J4");
}

TEST_F(SelectionTest, AViewThatRepeatsItselfCannotHangTheSync) {
  struct Stuck : FakeJobListView {
    int nextSelected(int) const override { return 1; }
  } stuck;
  lists.state.viewPorts[kPrintList] = &stuck;
  EXPECT_EQ(syncSelection(&lists.state, kPrintList), 1);
  EXPECT_EQ(selectedPaths(lists, kPrintList), "J2");
}

TEST_F(SelectionTest, MarkAllSelectsEveryRecordOfOneList) {
  EXPECT_EQ(markAllJobs(&lists.state, kPrintedList), 1);
  EXPECT_EQ(selectedPaths(lists, kPrintedList), "J1 J2");
  EXPECT_EQ(selectedPaths(lists, kPrintList), "");
}

TEST_F(SelectionTest, RowChangesFollowIntoTheRecord) {
  EXPECT_EQ(setSelectedAt(&lists.state, kPrintList, 2, 1), 1);
  EXPECT_EQ(selectedPaths(lists, kPrintList), "J3");
  EXPECT_EQ(setSelectedAt(&lists.state, kPrintList, 2, 0), 1);
  EXPECT_EQ(selectedPaths(lists, kPrintList), "");
  EXPECT_EQ(setSelectedAt(&lists.state, kPrintList, 4, 1), 0);
  EXPECT_EQ(setSelectedAt(&lists.state, kPrintList, -1, 1), 0) << "no row is not the last row";
  EXPECT_EQ(selectedPaths(lists, kPrintList), "");
}

TEST_F(SelectionTest, FirstSelectedJobIsTheRecordOfTheFirstSelectedRow) {
  EXPECT_EQ(firstSelectedJob(&lists.state, kPrintList), nullptr);
  upper.select({2, 3});
  EXPECT_STREQ(firstSelectedJob(&lists.state, kPrintList)->path, "J3");
}

TEST_F(SelectionTest, MissingViewOrListChangesNothing) {
  lists.state.viewPorts[kPrintList] = nullptr;
  jobAt(lists.head(), 0)->selected = 1;
  EXPECT_EQ(syncSelection(&lists.state, kPrintList), 0);
  EXPECT_EQ(selectedPaths(lists, kPrintList), "J1");
  EXPECT_EQ(firstSelectedJob(&lists.state, kPrintList), nullptr);
  EXPECT_EQ(syncSelection(nullptr, kPrintList), 0);
  EXPECT_EQ(syncSelection(&lists.state, 2), 0);
  EXPECT_EQ(markAllJobs(nullptr, kPrintList), 0);
}

}  // namespace
}  // namespace vlx
