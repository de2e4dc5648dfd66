// Jobs that printed but whose file could not be moved out of the hot folder
// (a read-only share, a file held open, no free spool name). Such a file is
// listed again by the next scan; auto-print must never print it again. The
// queue remembers each one by path, size and write time, across restarts,
// in a small file of the installation folder, and leaves it to the operator.
#pragma once

#include <cstdint>

#include "app/jobs/job_record.h"

namespace vlx {

// Where the memory is kept (read now, written on each change); null or empty:
// in memory only (tests).
void useUnmovedJobsFile(const char* path);
// The file at path printed and could not be moved; path, size and write
// time are taken from the record.
void rememberUnmoved(const JobRecord& job);
// The record's file is one that printed and stayed (same path, size and
// write time).
bool isUnmoved(const JobRecord& job);
// Forgets the path (it moved after all, or the operator dealt with it).
void forgetUnmoved(const char* path);
// Forgets every remembered file that no longer exists. The number left.
int pruneUnmoved();

}  // namespace vlx
