#include "app/jobs/job_selection.h"

#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view_port.h"
#include "app/jobs/job_walk.h"

namespace vlx {
namespace {

JobListView* viewOf(const AppState* state, int listIndex) {
  if (!listHead(state, listIndex)) return nullptr;
  return state->viewPorts[listIndex];
}

int storeSelected(JobRecord* record, AppState*, int, void* user) {
  record->selected = *static_cast<const int32_t*>(user);
  return 0;
}

int setAll(AppState* state, int listIndex, int32_t value) {
  walkForward(state, listIndex, storeSelected, &value);
  return 1;
}

}  // namespace

int syncSelection(AppState* state, int listIndex) {
  JobListView* view = viewOf(state, listIndex);
  if (!view) return 0;
  JobRecord* head = listHead(state, listIndex);
  setAll(state, listIndex, 0);
  // Each answer must lie past the one before; a view that repeats itself
  // would otherwise keep this loop going for ever.
  for (int row = view->nextSelected(-1), previous = -1; row > previous; previous = row, row = view->nextSelected(row)) {
    setSelected(jobAt(head, row), 1);
  }
  return 1;
}

int markAllJobs(AppState* state, int listIndex) {
  if (!listHead(state, listIndex)) return 0;
  return setAll(state, listIndex, 1);
}

int setSelectedAt(AppState* state, int listIndex, int row, int selected) {
  if (row < 0) return 0;  // a row, never the special position "last"
  return setSelected(jobAt(listHead(state, listIndex), row), selected ? 1 : 0);
}

JobRecord* firstSelectedJob(AppState* state, int listIndex) {
  JobListView* view = viewOf(state, listIndex);
  if (!view) return nullptr;
  const int row = view->nextSelected(-1);
  return row >= 0 ? jobAt(listHead(state, listIndex), row) : nullptr;
}

}  // namespace vlx
