// BaseD: module folder, path endings, window centring.
#pragma once

#include "jApi.h"

#ifdef JBASED_BUILD
#define JBASED_API J_EXTERN_C J_EXPORT
#else
#define JBASED_API J_EXTERN_C J_IMPORT
#endif

// Folder of the running program (260 bytes), without a trailing separator.
JBASED_API char* jmtGetModuleDirectory(char* folder);
// mode 1: make path end in exactly one separator; mode 0: remove trailing
// separators. Double-byte aware. Returns path.
JBASED_API char* jmtStrEndYen(char* path, int mode);
// Centres a window over its owner (or the screen when it has none).
JBASED_API int jmtSetWinCenter(jHWND window);
