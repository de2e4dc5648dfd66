// Saving a file so that a crash or a power cut at any moment leaves either the
// old file or the new one, never a torn or empty one: the new content goes to
// a temporary file in the same folder, is flushed to the disk, and then
// replaces the old file in one step.
#pragma once

#include <cstddef>

#include "platform/file.h"
#include "platform/path.h"

namespace platform {

struct AtomicFile {
  FileHandle file = nullptr;  // the temporary file, open for writing
  char target[kMaxPath] = {};
  char temporary[kMaxPath] = {};
};

// Creates the temporary file beside path. False (and nothing created) when the
// folder cannot take it.
bool beginAtomicFile(const char* path, AtomicFile* out);
// Flushes and closes the temporary file and puts it in place of the target.
// On failure the target is left as it was and the temporary file is removed.
bool commitAtomicFile(AtomicFile* file);
// Drops the new content: the target stays as it was.
void abandonAtomicFile(AtomicFile* file);

// The whole file in one call.
bool saveFileAtomically(const char* path, const void* data, std::size_t size);

// Removes from folder the temporary files of saves a crash cut short:
// names of this service's own form ("sav" and one to four hex digits,
// ".TMP") not written for olderThanSeconds (a save in another process may
// be under way). How many went.
int sweepAtomicLeftovers(const char* folder, int olderThanSeconds);

// Per-target primitives used by the above.
bool flushFile(FileHandle file);
// Replaces to with from (to may or may not exist), durably.
bool replaceFile(const char* from, const char* to);

}  // namespace platform
