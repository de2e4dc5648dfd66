// File helpers common to every target, built on the per-target primitives.
#include "platform/file.h"

namespace platform {

// Writes may be partial (a pipe, a 1 GiB chunk on Windows): go on until all is out.
bool writeAll(FileHandle file, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    std::int64_t put = writeFile(file, bytes, size);
    if (put <= 0) return false;
    bytes += put;
    size -= static_cast<std::size_t>(put);
  }
  return file != nullptr;
}

bool readWholeFile(const char* path, void* buffer, std::size_t capacity, std::size_t* length) {
  if (length) *length = 0;
  if (!buffer || !length) return false;
  FileHandle file = openFile(path, OpenMode::ReadShared);
  if (!file) return false;
  char* bytes = static_cast<char*>(buffer);
  std::size_t have = 0;
  bool ok = true;
  for (;;) {
    if (have == capacity) {
      // Full: only a file of exactly this size fits; probe for one more byte.
      char probe;
      std::int64_t extra = readFile(file, &probe, 1);
      ok = extra == 0;
      break;
    }
    std::int64_t got = readFile(file, bytes + have, capacity - have);
    if (got < 0) ok = false;
    if (got <= 0) break;
    have += static_cast<std::size_t>(got);
  }
  closeFile(file);
  if (ok) *length = have;
  return ok;
}

}  // namespace platform
