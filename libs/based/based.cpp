// BaseD: the program's folder, path endings and window centring.
//
// Choices left to us: the folder is that of the running program (not of
// this library), without a trailing separator; path endings are changed in
// place in a buffer of 260 bytes, double-byte aware, so a trail byte 0x5C is
// never taken for a separator. Window centring (centre_win32.cpp) uses the
// owner's rectangle, or the work area of the owner's monitor when there is no
// owner; natively it refuses.
#include "BaseD.h"
#include "platform/module.h"
#include "platform/path.h"

char* jmtGetModuleDirectory(char* folder) {
  if (!folder) return nullptr;
  char program[platform::kMaxPath];
  if (!platform::moduleFileName(nullptr, program, sizeof program) ||
      !platform::folderPart(program, folder, platform::kMaxPath))
    folder[0] = '\0';
  return folder;
}

char* jmtStrEndYen(char* path, int mode) {
  if (!path) return nullptr;
  if (mode == 1)
    platform::ensureTrailingSeparator(path, platform::kMaxPath);
  else
    platform::removeTrailingSeparators(path);
  return path;
}
