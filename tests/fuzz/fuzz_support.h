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

// "<TMPDIR>/vlx-fuzz-<pid>", created on first use.
inline const std::string& scratchFolder() {
  static const std::string folder = [] {
    const char* base = std::getenv("TMPDIR");
    std::string f = std::string(base && base[0] ? base : "/tmp") + "/vlx-fuzz-" + std::to_string(::getpid());
    platform::createFolder(f.c_str());
    return f;
  }();
  return folder;
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
