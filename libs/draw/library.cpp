// Draw: the drawing library stand-in. Library, documents and progress hooks.
//
// What this library keeps, where its callers leave the choice to us:
// - The library is open between jDrawOpen (parameter record version 1000)
//   and jDrawClose. A second jDrawOpen is accepted and changes nothing.
//   jDrawClose closes every document still open.
// - Drawing documents (jDrawGDBOpen) exist only while the library is open.
//   Each has a handle counted up from 1 and never reused while it is open,
//   its parameter record (at least 1 object and 1 layer) and its drawn
//   objects in drawing order. At most kMaxDocuments are open at once.
//   Closing or editing a handle that is not open is refused (0).
//   jEditDelete(document, -1) removes every object, n >= 0 removes object n.
//   jFileLoad (job_exports.cpp) replaces the document's drawing with the
//   job file's.
// - Progress hooks (jPdevSetPgsHook): a copy of the table of five pointers,
//   replaced by each call (null removes them) and dropped by jDrawClose; the
//   printing-device layer hands them to the driver.
// - Printing devices (devices.cpp) are objects of this library, handed out
//   as opaque handles and checked against the set of live ones on every
//   use; they do not need the library to be open, as job records are made
//   before and after it.
// - Fonts (fonts.cpp): an in-memory registry in registration order.
// - Text lines (lines.cpp): the base library's line reader and writer, so
//   that lines written through either library read back alike.
// Every piece of shared state is guarded by a mutex: the print worker uses
// the library while the window thread may.
#include "libs/draw/library.h"

#include <algorithm>

namespace jdraw {
namespace {

constexpr int32_t kDrawOpenVersion = 1000;
constexpr std::size_t kMaxDocuments = 16;

struct LibraryState {
  bool open = false;
  jHWND window = nullptr;
  int32_t lastHandle = 0;
  std::vector<Document> documents;
  bool hooksSet = false;
  jProgressHooks hooks{};
};

LibraryState& state() {
  static LibraryState library;
  return library;
}

int32_t newHandle() {
  LibraryState& s = state();
  do {
    s.lastHandle = s.lastHandle == INT32_MAX ? 1 : s.lastHandle + 1;
  } while (findDocument(s.lastHandle));
  return s.lastHandle;
}

}  // namespace

std::mutex& libraryMutex() {
  static std::mutex mutex;
  return mutex;
}

bool libraryIsOpen() {
  return state().open;
}

Document* findDocument(int32_t handle) {
  if (handle == 0) return nullptr;
  for (Document& d : state().documents) {
    if (d.handle == handle) return &d;
  }
  return nullptr;
}

std::shared_ptr<const Drawing> documentDrawing(int32_t handle) {
  std::lock_guard<std::mutex> lock(libraryMutex());
  Document* d = findDocument(handle);
  return d ? d->drawing : nullptr;
}

bool setDocumentDrawing(int32_t handle, std::shared_ptr<const Drawing> drawing) {
  std::lock_guard<std::mutex> lock(libraryMutex());
  Document* d = findDocument(handle);
  if (!d || !drawing) return false;
  d->drawing = std::move(drawing);
  return true;
}

bool installedHooks(jProgressHooks* hooks) {
  std::lock_guard<std::mutex> lock(libraryMutex());
  *hooks = state().hooksSet ? state().hooks : jProgressHooks{};
  return state().hooksSet;
}

}  // namespace jdraw

using jdraw::libraryMutex;
using jdraw::state;

JDRAW_API int jDrawOpen(jHWND window, const jDrawOpenParams* params) {
  if (!params || params->version != jdraw::kDrawOpenVersion) return 0;
  std::lock_guard<std::mutex> lock(libraryMutex());
  state().open = true;
  state().window = window;
  return 1;
}

JDRAW_API int jDrawClose(void) {
  std::lock_guard<std::mutex> lock(libraryMutex());
  if (!state().open) return 0;
  state().documents.clear();
  state().hooksSet = false;
  state().hooks = jProgressHooks{};
  state().window = nullptr;
  state().open = false;
  return 1;
}

JDRAW_API int32_t jDrawGDBOpen(const jDrawDocParams* params) {
  if (!params || params->maxObjects < 1 || params->maxLayers < 1) return 0;
  std::lock_guard<std::mutex> lock(libraryMutex());
  if (!state().open || state().documents.size() >= jdraw::kMaxDocuments) return 0;
  jdraw::Document document{jdraw::newHandle(), *params, std::make_shared<const jdraw::Drawing>()};
  state().documents.push_back(std::move(document));
  return state().documents.back().handle;
}

JDRAW_API int jDrawGDBClose(int32_t document) {
  std::lock_guard<std::mutex> lock(libraryMutex());
  auto& documents = state().documents;
  auto at = std::find_if(documents.begin(), documents.end(),
                         [document](const jdraw::Document& d) { return d.handle == document; });
  if (document == 0 || at == documents.end()) return 0;
  documents.erase(at);
  return 1;
}

JDRAW_API int jEditDelete(int32_t document, int which) {
  std::lock_guard<std::mutex> lock(libraryMutex());
  jdraw::Document* d = jdraw::findDocument(document);
  if (!d) return 0;
  if (which == -1) {
    d->drawing = std::make_shared<const jdraw::Drawing>();
    return 1;
  }
  if (which < 0 || static_cast<std::size_t>(which) >= d->drawing->items.size()) return 0;
  auto edited = std::make_shared<jdraw::Drawing>(*d->drawing);
  edited->items.erase(edited->items.begin() + which);
  d->drawing = std::move(edited);
  return 1;
}

JDRAW_API int jPdevSetPgsHook(const jProgressHooks* hooks) {
  std::lock_guard<std::mutex> lock(libraryMutex());
  state().hooksSet = hooks != nullptr;
  state().hooks = hooks ? *hooks : jProgressHooks{};
  return 1;
}
