// The drawing library's own state shared between its files: whether the
// library is open, the drawing documents, the installed progress hooks.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "Draw.h"

namespace jdraw {

// One drawn object of a document, as the job file stores it: a kind and
// its bytes.
struct DocObject {
  int32_t kind;
  std::vector<uint8_t> data;
};

struct Document {
  int32_t handle;
  jDrawDocParams params;
  std::vector<DocObject> objects;
};

// Guards the open flag, the documents and the hooks.
std::mutex& libraryMutex();
bool libraryIsOpen();  // caller holds libraryMutex
// The open document with that handle, or null; caller holds libraryMutex.
Document* findDocument(int32_t handle);
// A copy of the installed hooks; false (all null) when none are installed.
bool installedHooks(jProgressHooks* hooks);

}  // namespace jdraw
