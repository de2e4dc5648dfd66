// Atomic saving, common to every target.
#include "platform/atomic_file.h"

#include "platform/folders.h"

namespace platform {

bool beginAtomicFile(const char* path, AtomicFile* out) {
  if (!out) return false;
  *out = AtomicFile{};
  if (!path || !path[0] || !copyString(out->target, sizeof out->target, path)) return false;
  char folder[kMaxPath];
  if (!folderPart(path, folder, sizeof folder)) return false;
  if (!folder[0]) copyString(folder, sizeof folder, ".");
  // The temporary file must live in the target's own folder: a rename across
  // volumes is a copy, and a copy can be torn.
  if (!makeTempFile(folder, "sav", out->temporary, sizeof out->temporary)) return false;
  out->file = openFile(out->temporary, OpenMode::CreateAlways);
  if (!out->file) {
    deleteFile(out->temporary);
    out->temporary[0] = '\0';
    return false;
  }
  return true;
}

bool commitAtomicFile(AtomicFile* file) {
  if (!file || !file->file) return false;
  bool flushed = flushFile(file->file);
  closeFile(file->file);
  file->file = nullptr;
  if (!flushed || !replaceFile(file->temporary, file->target)) {
    deleteFile(file->temporary);
    file->temporary[0] = '\0';
    return false;
  }
  file->temporary[0] = '\0';
  return true;
}

void abandonAtomicFile(AtomicFile* file) {
  if (!file) return;
  if (file->file) closeFile(file->file);
  file->file = nullptr;
  if (file->temporary[0]) deleteFile(file->temporary);
  file->temporary[0] = '\0';
}

bool saveFileAtomically(const char* path, const void* data, std::size_t size) {
  AtomicFile file;
  if (!beginAtomicFile(path, &file)) return false;
  if (!writeAll(file.file, data, size)) {
    abandonAtomicFile(&file);
    return false;
  }
  return commitAtomicFile(&file);
}

}  // namespace platform
