// Jobs that printed but whose file could not be moved out of the hot folder
// (a read-only share, a file held open, no free spool name). Such a file is
// listed again by the next scan; auto-print must never print it again. The
// queue remembers each one by path, size and write time, across restarts,
// in a small file of the installation folder, and leaves it to the operator.
//
// A job is remembered the same way, as being printed, before its first byte
// goes out: a program killed during the print, or between its end and the
// journal line, leaves it so, and the next start journals the cut print and
// holds the job like one that did not move (the operator's print command
// releases it).
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
// The record's file is being printed (until it is journalled).
void rememberPrinting(const JobRecord& job);
// The record's print goes to the journal now, its line naming the move to
// movingTo that follows (until forgetUnmoved, or holdUnmoved when the file
// could not move).
void rememberJournalled(const JobRecord& job, const char* movingTo);
// The files a crash caught being printed or between their journal line and
// their move: a print cut short is journalled as failed with the reason
// that it must be checked; a file still there after its line gets a line
// that says so. Both are held from now on as files that did not move. How
// many.
int journalCutPrints();
// The job remembered at path did not move: held from now on.
void holdUnmoved(const char* path);
// Forgets the path (it moved after all, or the operator dealt with it).
void forgetUnmoved(const char* path);
// Forgets every remembered file that no longer exists. The number left.
int pruneUnmoved();

}  // namespace vlx
