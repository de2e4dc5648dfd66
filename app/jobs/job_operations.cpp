#include "app/jobs/job_operations.h"

#include "app/jobs/draw_calls.h"
#include "app/jobs/folder_scan.h"
#include "app/jobs/job_files.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/job_queries.h"
#include "app/jobs/job_selection.h"
#include "app/jobs/job_walk.h"

namespace vlx {
namespace {

constexpr int kPreviewFlags = 16;

bool selected(const JobRecord* record) {
  return (record->selected & 1) != 0;
}

int toTop(JobRecord* record, AppState*, int, void*) {
  if (selected(record)) insertAfter(record, headOf(record));
  return 0;
}

int upOne(JobRecord* record, AppState*, int, void*) {
  JobRecord* previous = record->prev;
  if (selected(record) && previous && previous->prev) insertBefore(record, previous);
  return 0;
}

int downOne(JobRecord* record, AppState*, int, void*) {
  if (selected(record) && record->next) insertAfter(record, record->next);
  return 0;
}

int toBottom(JobRecord* record, AppState*, int, void*) {
  if (selected(record) && record->next) insertAfter(record, lastOf(record));
  return 0;
}

struct Removal {
  const char* folder;  // move target; null: delete
  JobRecord* target;   // the list a moved job goes to
  bool refused;
};

int removeOne(JobRecord* record, AppState*, int, void* user) {
  if (!selected(record)) return 0;
  auto* removal = static_cast<Removal*>(user);
  if (!isRemovable(record)) {
    removal->refused = true;
  } else if (removal->folder) {
    moveJobToList(record, removal->folder, removal->target, nullptr, nullptr, 0);
  } else {
    deleteJob(record);
  }
  return 0;
}

void rebuild(AppState* state, int listIndex) {
  refreshJobView(state, ViewFill::Rebuild, listIndex);
  refreshStatusColumn(state, listIndex);
}

int reorder(AppState* state, int listIndex, JobVisitor visitor, bool forward) {
  JobListLock lock;
  syncSelection(state, listIndex);
  if (forward) {
    walkForward(state, listIndex, visitor, nullptr);
  } else {
    walkBackward(state, listIndex, visitor, nullptr);
  }
  rebuild(state, listIndex);
  return 1;
}

Refusal remove(AppState* state, int listIndex, bool all, const char* folder, Refusal refusal) {
  const int other = listIndex == kPrintList ? kPrintedList : kPrintList;
  JobListLock lock;
  if (all) {
    markAllJobs(state, listIndex);
  } else {
    syncSelection(state, listIndex);
  }
  Removal removal{folder, folder ? listHead(state, other) : nullptr, false};
  walkForward(state, listIndex, removeOne, &removal);
  rebuild(state, listIndex);
  if (folder) {
    if (other == kPrintedList) sortPrintedList(state);
    rebuild(state, other);
  }
  return removal.refused ? refusal : Refusal{nullptr, false};
}

void fillGrey(jCOLOR* buffer) {
  for (int i = 0; i < kPreviewPixels; ++i) buffer[i] = kPreviewBackground;
}

}  // namespace

int moveJobsToTop(AppState* state, int listIndex) {
  return reorder(state, listIndex, toTop, false);
}

int moveJobsUp(AppState* state, int listIndex) {
  return reorder(state, listIndex, upOne, true);
}

int moveJobsDown(AppState* state, int listIndex) {
  return reorder(state, listIndex, downOne, false);
}

int moveJobsToBottom(AppState* state, int listIndex) {
  return reorder(state, listIndex, toBottom, true);
}

Refusal moveJobsToOtherFolder(AppState* state, int listIndex) {
  if (!listHead(state, listIndex)) return {};
  const char* folder = listIndex == kPrintList ? state->printedFolder : state->hotFolder;
  return remove(state, listIndex, false, folder, {kRestoreFailed, true});
}

Refusal deleteJobs(AppState* state, int listIndex) {
  return remove(state, listIndex, false, nullptr, {kCannotDeletePrinting, false});
}

Refusal deleteAllJobs(AppState* state, int listIndex) {
  return remove(state, listIndex, true, nullptr, {kCouldNotDeletePrinting, false});
}

int fetchPreview(AppState* state, int listIndex) {
  if (!state || !state->previewBuffer) return 0;
  JobListLock lock;
  JobRecord* record = state->preview ? firstSelectedJob(state, listIndex) : nullptr;
  // A file that gives no thumbnail (vanished, not a job any more) shows the
  // empty square rather than whatever the buffer held.
  if (record && drawCalls().preview(state->previewBuffer, kPreviewFlags, 0, record->path)) return 1;
  fillGrey(state->previewBuffer);
  return 0;
}

}  // namespace vlx
