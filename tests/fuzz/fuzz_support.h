// Shared by the fuzz harnesses: a scratch folder of this process for the
// readers that take a file, and bounded copies of the input.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/folders.h"

namespace fuzz {

// Removes a folder and everything in it.
inline void removeTree(const std::string& folder) {
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) {
    const std::string path = folder + "/" + e.name;
    if (e.isDirectory)
      removeTree(path);
    else
      platform::deleteFile(path.c_str());
    return true;
  });
  platform::removeFolder(folder.c_str());
}

// "<TMPDIR>/vlx-fuzz-<pid>", created on first use and removed at exit. Never
// destroyed itself, so that the removal at exit can still read it.
inline const std::string& scratchFolder() {
  static const std::string* folder = [] {
    const char* base = std::getenv("TMPDIR");
    auto* f = new std::string(std::string(base && base[0] ? base : "/tmp") + "/vlx-fuzz-" + std::to_string(::getpid()));
    platform::createFolder(f->c_str());
    std::atexit([] { removeTree(scratchFolder()); });
    return f;
  }();
  return *folder;
}

inline std::string scratchFile(const char* name) {
  return scratchFolder() + "/" + name;
}

inline bool writeFile(const std::string& path, const uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

// The input as a terminated string of at most max bytes.
inline std::string text(const uint8_t* data, std::size_t size, std::size_t max = 4096) {
  return std::string(reinterpret_cast<const char*>(data), size < max ? size : max).c_str();
}

// A crash of the harness itself: a property of the reader did not hold.
#define FUZZ_CHECK(condition)       \
  do {                              \
    if (!(condition)) std::abort(); \
  } while (0)

}  // namespace fuzz
