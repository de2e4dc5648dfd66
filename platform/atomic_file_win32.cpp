// Flush and replace on Windows: FlushFileBuffers, then MoveFileEx with
// write-through, which replaces the target in one step on NTFS.
#include <windows.h>

#include "platform/atomic_file.h"

namespace platform {

bool flushFile(FileHandle file) {
  return file && FlushFileBuffers(static_cast<HANDLE>(file)) != 0;
}

bool replaceFile(const char* from, const char* to) {
  if (!from || !to || !from[0] || !to[0]) return false;
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace platform
