// The drawing library's own state shared between its files: whether the
// library is open, the drawing documents, the installed progress hooks.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "Draw.h"
#include "libs/draw/job_file.h"

namespace jdraw {

// What a document holds: the drawn items of the job loaded into it, in
// drawing order, and its page area. Shared and never changed once made, so
// that a print run keeps its drawing while the document is edited.
struct Drawing {
  jobfile::Area area;
  std::vector<jobfile::Item> items;
};

struct Document {
  int32_t handle;
  jDrawDocParams params;
  std::shared_ptr<const Drawing> drawing;  // never null
};

// The drawing of an open document; null when there is no such document.
std::shared_ptr<const Drawing> documentDrawing(int32_t handle);
// Replaces an open document's drawing; false when there is no such document.
bool setDocumentDrawing(int32_t handle, std::shared_ptr<const Drawing> drawing);

// Guards the open flag, the documents and the hooks.
std::mutex& libraryMutex();
bool libraryIsOpen();  // caller holds libraryMutex
// The open document with that handle, or null; caller holds libraryMutex.
Document* findDocument(int32_t handle);
// A copy of the installed hooks; false (all null) when none are installed.
bool installedHooks(jProgressHooks* hooks);

}  // namespace jdraw
