#include "app/shell/print_requests.h"

#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_list_view_port.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/unmoved_jobs.h"

namespace vlx {
namespace {

struct StateChange {
  int32_t from;  // mask of the states that change
  int32_t to;
  bool skipUnmoved = false;  // leave the files that printed and could not be moved
};

void apply(JobRecord* record, const StateChange& change, RequestResult* result) {
  if (!record || !(record->state & change.from)) return;
  if (change.skipUnmoved && isUnmoved(*record)) return;
  if (record->state == Printing) result->stopWorker = true;
  record->state = change.to;
  result->changed = true;
}

RequestResult changeStates(AppState* state, RequestScope scope, const StateChange& change) {
  RequestResult result{};
  JobListLock lock;
  JobRecord* head = listHead(state, kPrintList);
  if (!head) return result;
  if (scope == RequestScope::All) {
    for (JobRecord* record = nextOf(head); record; record = nextOf(record)) apply(record, change, &result);
    result.acted = result.changed;
  } else {
    const JobListView* view = state->viewPorts[kPrintList];
    // Each answer must lie past the one before, so a confused view cannot
    // keep the walk going.
    for (int row = view ? view->nextSelected(-1) : -1, previous = -1; row > previous;
         previous = row, row = view->nextSelected(row)) {
      result.acted = true;
      apply(jobAt(head, row), change, &result);
    }
  }
  refreshJobView(state, ViewFill::Append, kPrintList);
  refreshStatusColumn(state, kPrintList);
  return result;
}

}  // namespace

RequestResult requestPrint(AppState* state, RequestScope scope) {
  return changeStates(state, scope, {Idle, Waiting});
}

RequestResult requestAutoPrint(AppState* state) {
  return changeStates(state, RequestScope::All, {Idle, Waiting, true});
}

RequestResult cancelPrint(AppState* state, RequestScope scope) {
  return changeStates(state, scope, {Waiting | Printing, Idle});
}

bool jobIsPrinting(AppState* state) {
  JobListLock lock;
  if (workerRecord() != nullptr) return true;
  for (JobRecord* record = nextOf(listHead(state, kPrintList)); record; record = nextOf(record)) {
    if (record->state == Printing) return true;
  }
  return false;
}

}  // namespace vlx
