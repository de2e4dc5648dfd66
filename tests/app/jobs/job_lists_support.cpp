#include "job_lists_support.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/jobs/job_list.h"
#include "platform/path.h"

namespace vlx {

TestLists::TestLists() {
  state.lists[kPrintList] = createJob();
  state.lists[kPrintedList] = createJob();
}

TestLists::~TestLists() {
  destroyChain(state.lists[kPrintList]);
  destroyChain(state.lists[kPrintedList]);
}

JobRecord* TestLists::add(const char* path, int32_t jobState, int listIndex) {
  JobRecord* record = createJob();
  if (!record) {
    ADD_FAILURE() << "createJob failed";
    return nullptr;
  }
  platform::copyString(record->path, sizeof record->path, path);
  record->state = jobState;
  append(record, head(listIndex));
  return record;
}

void TestLists::addNumbered(int n, int listIndex) {
  for (int i = 1; i <= n; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "J%d", i);
    add(name, Idle, listIndex);
  }
}

std::string TestLists::order(int listIndex) const {
  std::string text;
  const JobRecord* previous = head(listIndex);
  for (const JobRecord* r = previous->next; r; previous = r, r = r->next) {
    if (r->prev != previous) return "<broken>";
    if (!text.empty()) text += ' ';
    text += r->path;
  }
  return text;
}

}  // namespace vlx
