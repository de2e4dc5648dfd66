// Folders and directory entries.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

struct FolderEntry {
  const char* name;  // file name only
  bool isDirectory;
  std::uint64_t size;
  // Last-write time in the file system's own units: only for telling whether
  // a file changed between two looks, never shown or converted.
  std::int64_t writeTime;
};

// Creates one folder; false when it could not be created (an existing folder
// also gives false, which callers ignore).
bool createFolder(const char* path);
bool pathExists(const char* path);  // file or folder
bool isFolder(const char* path);
bool moveFile(const char* from, const char* to);  // keeps content and times; fails when to exists
bool deleteFile(const char* path);
bool removeFolder(const char* path);  // an empty folder

// Calls visit for each entry of folder ("." and ".." left out), in the order
// the file system gives them; visit returns false to stop. False when the
// folder cannot be searched.
bool listFolder(const char* folder, const std::function<bool(const FolderEntry&)>& visit);

// The entry of one file, as listFolder would give it (name is the file-name
// part of path). False when it does not exist or cannot be looked at.
bool lookAtFile(const char* path, FolderEntry* out);

// Seconds since the file was last written, by the system's clock; false
// when it cannot be looked at.
bool secondsSinceWritten(const char* path, std::int64_t* seconds);

// Creates a new, empty, uniquely named file "<prefix><hex>.TMP" in folder
// and writes its path (like GetTempFileNameA with unique number 0).
bool makeTempFile(const char* folder, const char* prefix, char* out, std::size_t capacity);

}  // namespace platform
