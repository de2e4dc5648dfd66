// Job files on disk: loading a file's printing information into its record,
// the spool names that moved files get, and the two disk operations on a
// job's file (delete, move to the other folder). The caller holds the
// job-list lock for the operations that unlink a record.
#pragma once

#include <cstddef>

#include "app/jobs/job_record.h"
#include "app/shell/app_state.h"

namespace vlx {

// What a look at a job file came to: loaded; not now (the file cannot be
// read at the moment, or the installation's device registry cannot), to be
// tried again at a later scan; not finished (empty, or it ends before its
// own structure does: its writer may not be done), to be looked at again
// until it has stayed so for the set time; or not a job this installation
// can print.
enum class LoadVerdict { Loaded, Retry, Unfinished, Reject };

// Fills the record (its path set) from the drawing library: device, setting
// block, tiling block, machine, virtual device and port, file kind, size and
// date. For a rejected or an unfinished file, reason says why (CP932).
LoadVerdict loadJobChecked(AppState* state, JobRecord* record, char* reason, std::size_t capacity);
// 1 loaded, 0 not (either way of loadJobChecked).
int loadJob(AppState* state, JobRecord* record);

// The sub-folder of the hot folder that takes the files that are not jobs
// this installation can print; the scans never look inside sub-folders.
constexpr char kRejectedFolderName[] = "Rejected";
// Moves the file into the rejected-jobs folder of hotFolder under its own
// name (name-2, name-3 ... when taken; a name too long for a path there is
// cut, its extension kept); the new path in movedTo. path may be longer than
// a path the program otherwise holds. False when it could not be moved (it
// then stays where it was).
bool moveToRejected(const char* path, const char* hotFolder, char* movedTo, std::size_t capacity);

// The lowest free "VLXnnnn.vjx" (four upper-case hex digits) in folder.
// 0, with out empty, when all 65,535 names exist or the name does not fit.
int makeSpoolName(const char* folder, char* out, std::size_t capacity);

// Moves the record's file into folder under a new spool name, then unlinks
// and destroys the record. A file that cannot be moved stays where it was
// and is listed again by the next scan of its folder. 0 only for null.
int moveJobToFolder(JobRecord* record, const char* folder);
// The same, telling whether the file moved and where to (movedTo may be null).
int moveJobToFolder(JobRecord* record, const char* folder, bool* moved, char* movedTo, std::size_t capacity);

// The same, but a record whose file moved is not destroyed: with its new
// path, Idle and unselected, it goes to the end of the list of targetHead,
// so the job is in its new list at once. (A file that could not be moved
// stays where it was; its record is destroyed and the next scan lists it.)
int moveJobToList(JobRecord* record, const char* folder, JobRecord* targetHead, bool* moved, char* movedTo,
                  std::size_t capacity);

// The same, into the path target (a free spool name the caller chose, so
// that it could be told before the move); an empty target moves nothing.
int moveJobToListAt(JobRecord* record, const char* target, JobRecord* targetHead, bool* moved);

// Deletes the record's file, then unlinks and destroys the record. 0 only
// for null.
int deleteJob(JobRecord* record);

}  // namespace vlx
