// Atomic saving, common to every target.
#include "platform/atomic_file.h"

#include <cctype>
#include <string>
#include <vector>

#include "platform/folders.h"

namespace platform {
namespace {

// "sav" + 1..4 hex digits + ".TMP", letter case ignored: the names
// beginAtomicFile makes and nothing else.
bool isSaveTemporary(const char* name) {
  if (compareNoCaseN(name, "sav", 3) != 0) return false;
  std::size_t digits = 0;
  while (std::isxdigit(static_cast<unsigned char>(name[3 + digits]))) ++digits;
  return digits >= 1 && digits <= 4 && equalNoCase(name + 3 + digits, ".TMP");
}

}  // namespace

int sweepAtomicLeftovers(const char* folder, int olderThanSeconds) {
  std::vector<std::string> leftovers;
  listFolder(folder, [&](const FolderEntry& entry) {
    if (!entry.isDirectory && isSaveTemporary(entry.name)) leftovers.push_back(entry.name);
    return true;
  });
  int removed = 0;
  for (const std::string& name : leftovers) {
    char path[kMaxPath];
    std::int64_t age = 0;
    if (joinPath(path, sizeof path, folder, name.c_str()) && secondsSinceWritten(path, &age) &&
        age >= olderThanSeconds && deleteFile(path))
      ++removed;
  }
  return removed;
}

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
