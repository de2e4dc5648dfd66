// Job lists for tests: an application state with both head records and jobs
// named by their path ("J1", "J2", ...), released at the end of the test.
#pragma once

#include <string>

#include "app/jobs/job_record.h"
#include "app/shell/app_state.h"

namespace vlx {

class TestLists {
 public:
  TestLists();
  ~TestLists();
  TestLists(const TestLists&) = delete;
  TestLists& operator=(const TestLists&) = delete;

  JobRecord* head(int listIndex = kPrintList) const { return state.lists[listIndex]; }
  // Appends a job with that path and state to a list.
  JobRecord* add(const char* path, int32_t jobState = Idle, int listIndex = kPrintList);
  // Appends J1..Jn.
  void addNumbered(int n, int listIndex = kPrintList);
  // The paths of a list in order, joined by blanks; checks the back links on
  // the way, so a broken prev shows up as "<broken>".
  std::string order(int listIndex = kPrintList) const;

  AppState state{};
};

}  // namespace vlx
