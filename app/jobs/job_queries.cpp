#include "app/jobs/job_queries.h"

#include "app/jobs/job_lock.h"
#include "app/jobs/job_walk.h"
#include "platform/path.h"

namespace vlx {
namespace {

struct PathSearch {
  const char* path;
  JobRecord* found;
};

int matchPath(JobRecord* record, AppState*, int, void* user) {
  auto* search = static_cast<PathSearch*>(user);
  if (!platform::equalNoCase(record->path, search->path)) return 0;
  search->found = record;
  return 1;
}

int noteNextJob(JobRecord* record, AppState*, int, void* user) {
  auto* next = static_cast<NextJob*>(user);
  if (record->state == Waiting && !next->firstWaiting) next->firstWaiting = record;
  if (record->state == Printing) next->printing = record;
  return 0;
}

}  // namespace

JobRecord* findJobByPath(AppState* state, int listIndex, const char* path) {
  if (!path || !*path) return nullptr;
  PathSearch search{path, nullptr};
  walkForward(state, listIndex, matchPath, &search);
  return search.found;
}

NextJob nextJobToPrint(AppState* state) {
  NextJob next{nullptr, nullptr};
  walkForward(state, kPrintList, noteNextJob, &next);
  return next;
}

bool isRemovable(const JobRecord* record) {
  return record && record->state != Printing && !isHeldByWorker(record);
}

}  // namespace vlx
