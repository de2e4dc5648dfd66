// The folder scans: new job files of the hot folder become Idle records at
// the end of the print list; the printed-job folder is listed newest first
// and trimmed to HOLDJOB jobs. A file that may still be being written (it
// cannot be opened exclusively, or it changed since the previous look, or it
// was seen for the first time) is left alone until a later scan.
#pragma once

#include "app/jobs/job_list_view.h"
#include "app/jobs/job_record.h"
#include "app/shell/app_state.h"

namespace vlx {

// Both folders and their views, under the job-list lock. 1.
int rescanFolders(AppState* state, ViewFill fill);
// New job files of the hot folder appended to the print list. 1.
int scanHotFolder(AppState* state);
// New job files of the printed-job folder, then the printed list sorted
// newest first and trimmed to HOLDJOB (negative: keep everything); its view
// rebuilt. 1.
int scanPrintedFolder(AppState* state);
// Creates, loads and appends a record for the file at path. 1 added; 0 not
// added: no record could be made or the file cannot be read now (the file
// stays), or the file is not a job (it goes to the rejected-jobs folder of
// the hot folder, with its reason in the print journal).
int addJobFromFile(AppState* state, JobRecord* head, const char* path);

// Newest first by job date; records of equal dates keep their order.
void sortNewestFirst(JobRecord* head);
// Deletes the files and records beyond the first holdJobs; a negative
// holdJobs keeps everything.
void trimToHoldJobs(JobRecord* head, int32_t holdJobs);

// Files seen by the last scans that were not taken yet because they may
// still be changing. The window looks again about a second later while any
// wait, instead of a whole refresh period.
int filesSettling();
// Milliseconds until the earliest file waiting to be taken is due for a
// look of its own (0: now); -1 when none is.
int settleCheckDelay();
// Looks at just the files that are due, not at the folders: a file that has
// settled is taken. Bit 1 << list index set for each list that grew (the
// printed list is then in order again).
int recheckSettling(AppState* state);
// The printed list newest first, as the scans keep it, after the program
// itself moved a job into it (trimming to HOLDJOB is left to the scans).
void sortPrintedList(AppState* state);
// Forgets every file seen (tests; the next scan starts afresh).
void forgetSeenFiles();

}  // namespace vlx
