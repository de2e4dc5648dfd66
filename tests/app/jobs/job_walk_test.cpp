#include "app/jobs/job_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

using Walk = int (*)(AppState*, int, JobVisitor, void*);

// A visitor that moves or destroys its own record still sees every job once.
TEST(JobWalk, VisitorsThatMoveOrDestroyTheirRecordSeeEachJobOnce) {
  const struct {
    Walk walk;
    JobVisitor visitor;
    const char* seen;
    const char* left;
  } cases[] = {
      {walkForward, moveToBottom, "J1 J2 J3 J4", "J1 J2 J3 J4"},
      {walkBackward, moveToTop, "J4 J3 J2 J1", "J1 J2 J3 J4"},
      {walkForward, destroyIt, "J1 J2 J3 J4", ""},
      {walkBackward, destroyIt, "J4 J3 J2 J1", ""},
  };
  for (const auto& c : cases) {
    TestLists lists;
    lists.addNumbered(4);
    Visits visits;
    EXPECT_EQ(c.walk(&lists.state, kPrintList, c.visitor, &visits), 0);
    EXPECT_EQ(visits.seen, c.seen);
    EXPECT_EQ(lists.order(), c.left) << c.seen;
  }
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

// The selected jobs (marked '*') move one place each, as the job operations
// move them, and a selected job passes a selected neighbour.
TEST(JobWalk, MovingSelectedJobsOnePlaceEach) {
  const struct {
    Walk walk;
    JobVisitor visitor;
    std::vector<const char*> jobs;
    const char* left;
  } cases[] = {
      {walkForward, moveUp, {"J1", "J2*", "J3", "J4*"}, "J2* J1 J4* J3"},
      {walkForward, moveUp, {"J1*", "J2*", "J3"}, "J2* J1* J3"},
      {walkBackward, moveDown, {"J1*", "J2", "J3*", "J4"}, "J2 J1* J4 J3*"},
      {walkBackward, moveDown, {"J1", "J2*"}, "J1 J2*"},
  };
  for (const auto& c : cases) {
    TestLists lists;
    for (const char* p : c.jobs) lists.add(p);
    c.walk(&lists.state, kPrintList, c.visitor, nullptr);
    EXPECT_EQ(lists.order(), c.left);
  }
}

}  // namespace
}  // namespace vlx
