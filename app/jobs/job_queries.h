// Questions the rest of the program asks about the job lists. All of them
// walk a list, so the caller holds the job-list lock.
#pragma once

#include "app/jobs/job_record.h"
#include "app/shell/app_state.h"

namespace vlx {

// The listed record whose path equals path, ignoring the case of single-byte
// letters only; null when none (or for an empty or null path).
JobRecord* findJobByPath(AppState* state, int listIndex, const char* path);

// What the start step needs: the Waiting job nearest the top, and the job
// that prints (the last Printing one, should there ever be two).
struct NextJob {
  JobRecord* firstWaiting;
  JobRecord* printing;
};
NextJob nextJobToPrint(AppState* state);

// May a job operation remove this record (delete, move to the other
// folder)? Not while it prints nor while the worker still holds it.
bool isRemovable(const JobRecord* record);

}  // namespace vlx
