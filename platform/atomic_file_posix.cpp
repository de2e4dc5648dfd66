// Flush and replace on POSIX: fsync the data, rename over the target, then
// fsync the folder so that the new name survives a power cut too.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "platform/atomic_file.h"

namespace platform {

bool flushFile(FileHandle file) {
  if (!file) return false;
  int descriptor = static_cast<int>(reinterpret_cast<std::intptr_t>(file)) - 1;
  return ::fsync(descriptor) == 0;
}

bool replaceFile(const char* from, const char* to) {
  if (!from || !to || !from[0] || !to[0]) return false;
  if (::rename(from, to) != 0) return false;
  char folder[kMaxPath];
  if (folderPart(to, folder, sizeof folder)) {
    int descriptor = ::open(folder[0] ? folder : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
      ::fsync(descriptor);  // best effort: the rename itself has happened
      ::close(descriptor);
    }
  }
  return true;
}

}  // namespace platform
