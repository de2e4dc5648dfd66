// Walks over a job list that tolerate visitors changing the list: each visit
// may unlink or destroy its own record, or move it elsewhere in the same
// list, without the walk visiting a record twice or running past the records
// that existed when it began.
#pragma once

#include "app/jobs/job_record.h"
#include "app/shell/app_state.h"

namespace vlx {

// Returns 0 to go on; any other value stops the walk with that value.
using JobVisitor = int (*)(JobRecord* record, AppState* state, int listIndex, void* user);

// First record to last. The record that is last when the walk begins is the
// last one visited. Result: the first non-zero visitor result, else 0 (also
// for an empty list, a null state or visitor, or an unknown list index).
int walkForward(AppState* state, int listIndex, JobVisitor visitor, void* user);
// Last record to first, with the record that is first when the walk begins
// as the last one visited.
int walkBackward(AppState* state, int listIndex, JobVisitor visitor, void* user);

}  // namespace vlx
