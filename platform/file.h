// Files: open, read, write, size, times. The handle is the platform's own
// (a Win32 HANDLE, a POSIX file descriptor boxed in a pointer).
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using FileHandle = void*;

enum class OpenMode {
  ReadExclusive,   // existing file, no sharing
  ReadShared,      // existing file, others may read
  ReadAnyShare,    // existing file, others may read, write, rename and delete it meanwhile
  CreateAlways,    // new or truncated file, for writing, no sharing
  AppendOrCreate,  // for writing at the end, others may read
};

struct LocalTime {
  int year, month, day, hour, minute, second;
};

FileHandle openFile(const char* path, OpenMode mode);  // null on failure
void closeFile(FileHandle file);
// Bytes read (0 at the end), or -1 on error.
std::int64_t readFile(FileHandle file, void* buffer, std::size_t size);
// Bytes written, or -1 on error.
std::int64_t writeFile(FileHandle file, const void* data, std::size_t size);
bool writeAll(FileHandle file, const void* data, std::size_t size);
// Moves the read/write position by offset bytes from where it is; a negative
// offset moves back (line readers give back what they read ahead).
bool seekRelative(FileHandle file, std::int64_t offset);
bool fileSize(FileHandle file, std::uint64_t* size);
// Last-write time converted to local time.
bool lastWriteLocalTime(FileHandle file, LocalTime* time);

// Whole-file helpers; false on any failure, a file larger than capacity
// included.
bool readWholeFile(const char* path, void* buffer, std::size_t capacity, std::size_t* length);

}  // namespace platform
