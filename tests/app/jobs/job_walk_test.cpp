#include "app/jobs/job_walk.h"

#include <gtest/gtest.h>

#include <string>

#include "app/jobs/job_list.h"
#include "job_lists_support.h"

namespace vlx {
namespace {

struct Visits {
  std::string seen;
  int stopAt = -1;  // stop (result 7) at this visit number
  int calls = 0;
};

void note(Visits* visits, const JobRecord* record) {
  if (!visits->seen.empty()) visits->seen += ' ';
  visits->seen += record->path;
}

int record(JobRecord* job, AppState*, int, void* user) {
  auto* visits = static_cast<Visits*>(user);
  note(visits, job);
  return visits->calls++ == visits->stopAt ? 7 : 0;
}

int moveToBottom(JobRecord* job, AppState*, int, void* user) {
  note(static_cast<Visits*>(user), job);
  append(job, job);
  return 0;
}

int moveToTop(JobRecord* job, AppState*, int, void* user) {
  note(static_cast<Visits*>(user), job);
  insertAfter(job, headOf(job));
  return 0;
}

int destroyIt(JobRecord* job, AppState*, int, void* user) {
  note(static_cast<Visits*>(user), job);
  unlink(job);
  destroyJob(job);
  return 0;
}

// The selected ones (path ending in '*') move one place, as the job
// operations do: up while walking forward, down while walking backward.
bool marked(const JobRecord* job) {
  return std::string(job->path).back() == '*';
}

int moveUp(JobRecord* job, AppState*, int, void*) {
  JobRecord* above = job->prev;
  if (marked(job) && above->prev) insertBefore(job, above);
  return 0;
}

int moveDown(JobRecord* job, AppState*, int, void*) {
  JobRecord* below = job->next;
  if (marked(job) && below) insertAfter(job, below);
  return 0;
}

TEST(JobWalk, EmptyListCallsNoVisitorAndYieldsZero) {
  TestLists lists;
  Visits visits;
  EXPECT_EQ(walkForward(&lists.state, kPrintList, record, &visits), 0);
  EXPECT_EQ(walkBackward(&lists.state, kPrintedList, record, &visits), 0);
  EXPECT_EQ(visits.calls, 0);
}

TEST(JobWalk, MissingStateListOrVisitorYieldsZero) {
  TestLists lists;
  lists.addNumbered(2);
  Visits visits;
  EXPECT_EQ(walkForward(nullptr, kPrintList, record, &visits), 0);
  EXPECT_EQ(walkForward(&lists.state, 2, record, &visits), 0);
  EXPECT_EQ(walkBackward(&lists.state, -1, record, &visits), 0);
  EXPECT_EQ(walkForward(&lists.state, kPrintList, nullptr, &visits), 0);
  EXPECT_EQ(visits.calls, 0);
  AppState noLists{};
  EXPECT_EQ(walkForward(&noLists, kPrintList, record, &visits), 0);
}

TEST(JobWalk, VisitsInOrderAndHandsOverStateIndexAndUserData) {
  TestLists lists;
  lists.addNumbered(3, kPrintedList);
  struct Seen {
    AppState* state;
    int listIndex;
  } seen{nullptr, -1};
  auto visitor = [](JobRecord*, AppState* state, int listIndex, void* user) {
    *static_cast<Seen*>(user) = {state, listIndex};
    return 0;
  };
  EXPECT_EQ(walkForward(&lists.state, kPrintedList, visitor, &seen), 0);
  EXPECT_EQ(seen.state, &lists.state);
  EXPECT_EQ(seen.listIndex, kPrintedList);

  Visits forward, backward;
  walkForward(&lists.state, kPrintedList, record, &forward);
  walkBackward(&lists.state, kPrintedList, record, &backward);
  EXPECT_EQ(forward.seen, "J1 J2 J3");
  EXPECT_EQ(backward.seen, "J3 J2 J1");
}

TEST(JobWalk, FirstNonZeroResultStopsTheWalk) {
  TestLists lists;
  lists.addNumbered(4);
  Visits forward;
  forward.stopAt = 1;
  EXPECT_EQ(walkForward(&lists.state, kPrintList, record, &forward), 7);
  EXPECT_EQ(forward.seen, "J1 J2");
  Visits backward;
  backward.stopAt = 0;
  EXPECT_EQ(walkBackward(&lists.state, kPrintList, record, &backward), 7);
  EXPECT_EQ(backward.seen, "J4");
}

TEST(JobWalk, ForwardWalkMovingEachToTheBottomVisitsEachOnce) {
  TestLists lists;
  lists.addNumbered(4);
  Visits visits;
  EXPECT_EQ(walkForward(&lists.state, kPrintList, moveToBottom, &visits), 0);
  EXPECT_EQ(visits.seen, "J1 J2 J3 J4");
  EXPECT_EQ(lists.order(), "J1 J2 J3 J4");
}

TEST(JobWalk, BackwardWalkMovingEachToTheTopVisitsEachOnce) {
  TestLists lists;
  lists.addNumbered(4);
  Visits visits;
  EXPECT_EQ(walkBackward(&lists.state, kPrintList, moveToTop, &visits), 0);
  EXPECT_EQ(visits.seen, "J4 J3 J2 J1");
  EXPECT_EQ(lists.order(), "J1 J2 J3 J4");
}

TEST(JobWalk, VisitorsMayDestroyTheirRecord) {
  TestLists lists;
  lists.addNumbered(3);
  Visits forward;
  EXPECT_EQ(walkForward(&lists.state, kPrintList, destroyIt, &forward), 0);
  EXPECT_EQ(forward.seen, "J1 J2 J3");
  EXPECT_EQ(countJobs(lists.head()), 0);

  lists.addNumbered(3);
  Visits backward;
  EXPECT_EQ(walkBackward(&lists.state, kPrintList, destroyIt, &backward), 0);
  EXPECT_EQ(backward.seen, "J3 J2 J1");
  EXPECT_EQ(countJobs(lists.head()), 0);
}

TEST(JobWalk, RecordsAddedDuringAWalkAreNotVisited) {
  TestLists lists;
  lists.addNumbered(2);
  struct Adder {
    TestLists* lists;
    Visits visits;
  } adder{&lists, {}};
  auto visitor = [](JobRecord* job, AppState*, int, void* user) {
    auto* a = static_cast<Adder*>(user);
    note(&a->visits, job);
    a->lists->add("new");
    return 0;
  };
  walkForward(&lists.state, kPrintList, visitor, &adder);
  EXPECT_EQ(adder.visits.seen, "J1 J2");
  EXPECT_EQ(countJobs(lists.head()), 4);
}

TEST(JobWalk, MovingSelectedJobsUpOnePlaceEach) {
  TestLists lists;
  for (const char* p : {"J1", "J2*", "J3", "J4*"}) lists.add(p);
  walkForward(&lists.state, kPrintList, moveUp, nullptr);
  EXPECT_EQ(lists.order(), "J2* J1 J4* J3");
}

TEST(JobWalk, MovingUpLetsAJobPassItsSelectedNeighbour) {
  TestLists lists;
  for (const char* p : {"J1*", "J2*", "J3"}) lists.add(p);
  walkForward(&lists.state, kPrintList, moveUp, nullptr);
  EXPECT_EQ(lists.order(), "J2* J1* J3");
}

TEST(JobWalk, MovingSelectedJobsDownOnePlaceEach) {
  TestLists lists;
  for (const char* p : {"J1*", "J2", "J3*", "J4"}) lists.add(p);
  walkBackward(&lists.state, kPrintList, moveDown, nullptr);
  EXPECT_EQ(lists.order(), "J2 J1* J4 J3*");

  TestLists last;
  for (const char* p : {"J1", "J2*"}) last.add(p);
  walkBackward(&last.state, kPrintList, moveDown, nullptr);
  EXPECT_EQ(last.order(), "J1 J2*");
}

}  // namespace
}  // namespace vlx
