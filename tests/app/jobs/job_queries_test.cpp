#include "app/jobs/job_queries.h"

#include <gtest/gtest.h>

#include "app/jobs/job_list.h"
#include "app/jobs/job_lock.h"
#include "job_lists_support.h"

namespace vlx {
namespace {

TEST(NextJob, TheUpperOfTwoWaitingJobs) {
  TestLists lists;
  lists.add("J1", Idle);
  JobRecord* upper = lists.add("J2", Waiting);
  lists.add("J3", Waiting);
  NextJob next = nextJobToPrint(&lists.state);
  EXPECT_EQ(next.firstWaiting, upper);
  EXPECT_EQ(next.printing, nullptr);
}

TEST(NextJob, APrintingJobAnywhereIsReported) {
  TestLists lists;
  lists.add("J1", Waiting);
  lists.add("J2", Idle);
  JobRecord* printing = lists.add("J3", Printing);
  NextJob next = nextJobToPrint(&lists.state);
  EXPECT_EQ(next.printing, printing);
  EXPECT_STREQ(next.firstWaiting->path, "J1");
}

TEST(NextJob, NothingToDoInAnIdleOrEmptyList) {
  TestLists lists;
  NextJob none = nextJobToPrint(&lists.state);
  EXPECT_EQ(none.firstWaiting, nullptr);
  EXPECT_EQ(none.printing, nullptr);
  lists.add("J1", Idle);
  lists.add("P1", Waiting, kPrintedList);  // the printed list never prints
  none = nextJobToPrint(&lists.state);
  EXPECT_EQ(none.firstWaiting, nullptr);
  EXPECT_EQ(nextJobToPrint(nullptr).firstWaiting, nullptr);
}

TEST(FindJobByPath, IgnoresTheCaseOfLetters) {
  TestLists lists;
  lists.add("C:\\Jobs\\first.dat");
  JobRecord* job = lists.add("C:\\Jobs\\Second.VJX");
  EXPECT_EQ(findJobByPath(&lists.state, kPrintList, "c:\\JOBS\\second.vjx"), job);
  EXPECT_EQ(findJobByPath(&lists.state, kPrintList, "c:\\jobs\\third.vjx"), nullptr);
  EXPECT_EQ(findJobByPath(&lists.state, kPrintedList, "C:\\Jobs\\Second.VJX"), nullptr);
  EXPECT_EQ(findJobByPath(&lists.state, kPrintList, "C:\\Jobs\\Second.VJX "), nullptr);
}

TEST(FindJobByPath, DoubleByteCharactersCompareExactly) {
  TestLists lists;
  // ア is 83 41 and ヂ is 83 61: their trail bytes differ only as 'A'/'a' do.
  JobRecord* a = lists.add("C:\\jobs\\ア.dat");
  // 表 ends in 5C: the bytes after it still belong to the name.
  JobRecord* table = lists.add("C:\\表\\x.dat");
  EXPECT_EQ(findJobByPath(&lists.state, kPrintList, "c:\\JOBS\\ア.DAT"), a);
  EXPECT_EQ(findJobByPath(&lists.state, kPrintList, "C:\\jobs\\ヂ.dat"), nullptr);
  EXPECT_EQ(findJobByPath(&lists.state, kPrintList, "c:\\表\\X.DAT"), table);
  EXPECT_EQ(findJobByPath(&lists.state, kPrintList, "C:\\表\\\\x.dat"), nullptr);
}

TEST(FindJobByPath, EmptyOrMissingPathFindsNothing) {
  TestLists lists;
  lists.add("");
  EXPECT_EQ(findJobByPath(&lists.state, kPrintList, ""), nullptr);
  EXPECT_EQ(findJobByPath(&lists.state, kPrintList, nullptr), nullptr);
}

TEST(Removable, NeitherThePrintingJobNorTheWorkersRecord) {
  TestLists lists;
  JobRecord* idle = lists.add("J1", Idle);
  JobRecord* waiting = lists.add("J2", Waiting);
  JobRecord* printing = lists.add("J3", Printing);
  EXPECT_TRUE(isRemovable(idle));
  EXPECT_TRUE(isRemovable(waiting));
  EXPECT_FALSE(isRemovable(printing));
  EXPECT_FALSE(isRemovable(nullptr));

  // Cancelled while the worker still holds it: Idle, yet not removable.
  setWorkerRecord(idle);
  EXPECT_TRUE(isHeldByWorker(idle));
  EXPECT_FALSE(isRemovable(idle));
  EXPECT_TRUE(isRemovable(waiting));
  setWorkerRecord(nullptr);
  EXPECT_TRUE(isRemovable(idle));
  EXPECT_FALSE(isHeldByWorker(nullptr));
}

}  // namespace
}  // namespace vlx
