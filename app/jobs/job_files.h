// Job files on disk: loading a file's printing information into its record,
// the spool names that moved files get, and the two disk operations on a
// job's file (delete, move to the other folder). The caller holds the
// job-list lock for the operations that unlink a record.
#pragma once

#include <cstddef>

#include "app/jobs/job_record.h"
#include "app/shell/app_state.h"

namespace vlx {

// Fills the record (its path set) from the drawing library: device, setting
// block, tiling block, machine, virtual device and port, file kind, size and
// date. 1 loaded, 0 not a job this program can print.
int loadJob(AppState* state, JobRecord* record);

// The lowest free "VLXnnnn.vjx" (four upper-case hex digits) in folder.
// 0, with out empty, when all 65,535 names exist or the name does not fit.
int makeSpoolName(const char* folder, char* out, std::size_t capacity);

// Moves the record's file into folder under a new spool name, then unlinks
// and destroys the record. A file that cannot be moved stays where it was
// and is listed again by the next scan of its folder. 0 only for null.
int moveJobToFolder(JobRecord* record, const char* folder);

// Deletes the record's file, then unlinks and destroys the record. 0 only
// for null.
int deleteJob(JobRecord* record);

}  // namespace vlx
