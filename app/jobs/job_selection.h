// The selected field of the job records, kept in step with the rows of the
// list views (row n shows the record at position n of its list).
#pragma once

#include "app/jobs/job_record.h"
#include "app/shell/app_state.h"

namespace vlx {

// Before an operation on the selected jobs: clears every record's selected
// field, then sets it on the record of every row the list's view reports as
// selected. 0 when the list or its view is missing (nothing changes then).
int syncSelection(AppState* state, int listIndex);
// Before an operation on all jobs: selected = 1 on every record.
int markAllJobs(AppState* state, int listIndex);
// A row's selection changed in the view: the record at that row follows.
// 0 when no record is at that row.
int setSelectedAt(AppState* state, int listIndex, int row, int selected);
// The record of the view's first selected row; null when none is selected or
// the row has no record.
JobRecord* firstSelectedJob(AppState* state, int listIndex);

}  // namespace vlx
