#include "app/jobs/job_list.h"

#include <gtest/gtest.h>

#include "job_lists_support.h"

namespace vlx {
namespace {

TEST(JobAt, PositionsCountFromTheFirstJobNeverTheHead) {
  TestLists lists;
  lists.addNumbered(3);
  EXPECT_STREQ(jobAt(lists.head(), 0)->path, "J1");
  EXPECT_STREQ(jobAt(lists.head(), 2)->path, "J3");
  EXPECT_EQ(jobAt(lists.head(), countJobs(lists.head())), nullptr);
  EXPECT_STREQ(jobAt(lists.head(), kLastJob)->path, "J3");
  EXPECT_EQ(jobAt(lists.head(), -2), nullptr);
  EXPECT_EQ(jobAt(lists.head(), INT32_MIN), nullptr);
}

TEST(JobAt, EmptyListHasNoFirstAndNoLast) {
  TestLists lists;
  EXPECT_EQ(countJobs(lists.head()), 0);
  EXPECT_EQ(jobAt(lists.head(), 0), nullptr);
  EXPECT_EQ(jobAt(lists.head(), kLastJob), nullptr);
}

TEST(JobList, NullListsAndRecordsDoNothing) {
  JobRecord fresh{};
  EXPECT_EQ(countJobs(nullptr), 0);
  EXPECT_EQ(jobAt(nullptr, 0), nullptr);
  EXPECT_EQ(headOf(nullptr), nullptr);
  EXPECT_EQ(lastOf(nullptr), nullptr);
  EXPECT_EQ(prevOf(nullptr), nullptr);
  EXPECT_EQ(nextOf(nullptr), nullptr);
  EXPECT_EQ(unlink(nullptr), 0);
  EXPECT_EQ(insertAfter(nullptr, &fresh), 0);
  EXPECT_EQ(insertAfter(&fresh, nullptr), 0);
  EXPECT_EQ(insertBefore(nullptr, &fresh), 0);
  EXPECT_EQ(append(nullptr, &fresh), 0);
  EXPECT_EQ(append(&fresh, nullptr), 0);
  EXPECT_EQ(listHead(nullptr, 0), nullptr);
  EXPECT_EQ(positionOf(nullptr), -1);
}

TEST(JobList, ListIndexOutsideBothListsNamesNoList) {
  TestLists lists;
  EXPECT_EQ(listHead(&lists.state, kPrintList), lists.head(kPrintList));
  EXPECT_EQ(listHead(&lists.state, kPrintedList), lists.head(kPrintedList));
  EXPECT_EQ(listHead(&lists.state, 2), nullptr);
  EXPECT_EQ(listHead(&lists.state, -1), nullptr);
}

TEST(JobList, NavigationFollowsTheLinks) {
  TestLists lists;
  lists.addNumbered(3);
  JobRecord* second = jobAt(lists.head(), 1);
  EXPECT_EQ(headOf(second), lists.head());
  EXPECT_STREQ(lastOf(second)->path, "J3");
  EXPECT_STREQ(prevOf(second)->path, "J1");
  EXPECT_STREQ(nextOf(second)->path, "J3");
  EXPECT_EQ(positionOf(second), 1);
  EXPECT_EQ(positionOf(lists.head()), -1);
  EXPECT_EQ(lastOf(lists.head(kPrintedList)), lists.head(kPrintedList));
}

TEST(JobList, InsertingPlacesTheRecordBesideTheAnchor) {
  TestLists lists;
  lists.addNumbered(4);
  JobRecord* j4 = jobAt(lists.head(), 3);
  ASSERT_EQ(unlink(j4), 1);
  ASSERT_EQ(insertAfter(j4, lists.head()), 1);
  EXPECT_EQ(lists.order(), "J4 J1 J2 J3");

  JobRecord* j1 = jobAt(lists.head(), 1);
  ASSERT_EQ(unlink(j1), 1);
  ASSERT_EQ(insertBefore(j1, j4), 1);
  EXPECT_EQ(lists.order(), "J1 J4 J2 J3");

  ASSERT_EQ(unlink(j1), 1);
  ASSERT_EQ(append(j1, jobAt(lists.head(), 1)), 1);
  EXPECT_EQ(lists.order(), "J4 J2 J3 J1");
  EXPECT_EQ(countJobs(lists.head()), 4);
}

TEST(JobList, UnlinkJoinsTheNeighboursAndLeavesTheRecordsOwnLinks) {
  TestLists lists;
  lists.addNumbered(3);
  JobRecord* j1 = jobAt(lists.head(), 0);
  JobRecord* j2 = jobAt(lists.head(), 1);
  JobRecord* j3 = jobAt(lists.head(), 2);
  ASSERT_EQ(unlink(j2), 1);
  EXPECT_EQ(lists.order(), "J1 J3");
  EXPECT_EQ(j2->prev, j1);
  EXPECT_EQ(j2->next, j3);
  ASSERT_EQ(unlink(j3), 1);  // the last one
  EXPECT_EQ(lists.order(), "J1");
  destroyJob(j2);
  destroyJob(j3);
}

TEST(JobList, UnlinkingTwiceDoesNotCutOutTheNeighbours) {
  TestLists lists;
  lists.addNumbered(3);
  JobRecord* j2 = jobAt(lists.head(), 1);
  ASSERT_EQ(unlink(j2), 1);
  EXPECT_EQ(unlink(j2), 0);
  EXPECT_EQ(lists.order(), "J1 J3");
  destroyJob(j2);
}

TEST(JobList, TheHeadStaysTheOnlyRecordWithoutPrev) {
  TestLists lists;
  lists.addNumbered(2);
  JobRecord* j1 = jobAt(lists.head(), 0);
  EXPECT_EQ(insertBefore(j1, lists.head()), 0);
  EXPECT_EQ(unlink(lists.head()), 0);
  EXPECT_EQ(insertAfter(lists.head(), j1), 0);
  EXPECT_EQ(append(lists.head(), lists.head(kPrintedList)), 0);
  EXPECT_EQ(insertAfter(j1, j1), 0);
  EXPECT_EQ(lists.order(), "J1 J2");
}

TEST(JobList, InsertingALinkedRecordMovesIt) {
  TestLists lists;
  lists.addNumbered(3);
  JobRecord* j1 = jobAt(lists.head(), 0);
  ASSERT_EQ(append(j1, j1), 1);  // to the bottom of its own list
  EXPECT_EQ(lists.order(), "J2 J3 J1");
  ASSERT_EQ(insertBefore(jobAt(lists.head(), 1), jobAt(lists.head(), 0)), 1);
  EXPECT_EQ(lists.order(), "J3 J2 J1");
  ASSERT_EQ(append(j1, j1), 1);  // already last
  EXPECT_EQ(lists.order(), "J3 J2 J1");
}

TEST(JobList, RecordsMoveBetweenTheTwoLists) {
  TestLists lists;
  lists.addNumbered(2, kPrintList);
  lists.add("P1", Idle, kPrintedList);
  ASSERT_EQ(append(jobAt(lists.head(), 0), lists.head(kPrintedList)), 1);
  EXPECT_EQ(lists.order(kPrintList), "J2");
  EXPECT_EQ(lists.order(kPrintedList), "P1 J1");
}

}  // namespace
}  // namespace vlx
