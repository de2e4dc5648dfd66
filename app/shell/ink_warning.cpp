#include "app/shell/ink_warning.h"

#include <string>
#include <vector>

#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view_port.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/job_queries.h"

namespace vlx {
namespace {

struct Requested {
  std::string path, machine;
};

std::vector<Requested> requestedPaths(AppState* state) {
  std::vector<Requested> selected, all;
  JobListLock lock;
  JobRecord* head = listHead(state, kPrintList);
  if (!head) return all;
  for (JobRecord* record = nextOf(head); record; record = nextOf(record))
    if (record->state == Idle || record->state == Waiting) all.push_back({record->path, record->machineName});
  const JobListView* view = state->viewPorts[kPrintList];
  for (int row = view ? view->nextSelected(-1) : -1, previous = -1; row > previous;
       previous = row, row = view->nextSelected(row)) {
    const JobRecord* record = jobAt(head, row);
    if (record && record->state == Idle) selected.push_back({record->path, record->machineName});
  }
  return selected.empty() ? all : selected;
}

}  // namespace

void inkQuestionForRequest(AppState* state, char* out, std::size_t capacity) {
  if (capacity == 0) return;
  out[0] = '\0';
  if (!state) return;
  for (const Requested& job : requestedPaths(state)) {
    InkEstimate estimate;
    if (!jobInkNow(job.path.c_str(), job.machine.c_str(), &estimate)) continue;
    inkWarningQuestion(estimate, out, capacity);
    if (out[0]) return;
  }
}

void inkNoticeForPrintingJob(AppState* state, char* out, std::size_t capacity) {
  if (capacity == 0) return;
  out[0] = '\0';
  if (!state) return;
  std::string path, machine;
  {
    JobListLock lock;
    const NextJob next = nextJobToPrint(state);
    if (next.printing) path = next.printing->path, machine = next.printing->machineName;
  }
  InkEstimate estimate;
  if (!path.empty() && jobInkNow(path.c_str(), machine.c_str(), &estimate)) inkWarningStatus(estimate, out, capacity);
}

}  // namespace vlx
