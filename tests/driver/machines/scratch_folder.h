// A fresh folder for one test's files, removed with its files afterwards.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/path.h"

#if defined(_WIN32)
#include <process.h>
#define VLX_TEST_PID _getpid()
#else
#include <unistd.h>
#define VLX_TEST_PID getpid()
#endif

namespace testing_support {

inline std::string tempRoot() {
#if defined(_WIN32)
  const char* names[] = {"TEMP", "TMP"};
  for (const char* name : names)
    if (const char* value = std::getenv(name); value && *value) return value;
  return "C:\\";
#else
  return "/tmp";
#endif
}

class ScratchFolder {
 public:
  explicit ScratchFolder(const char* tag) {
    static int serial = 0;
    char name[96];
    std::snprintf(name, sizeof name, "vlx-%s-%d-%d", tag, static_cast<int>(VLX_TEST_PID), ++serial);
    path_ = join(tempRoot(), name);
    platform::createFolder(path_.c_str());
  }
  ~ScratchFolder() { removeAll(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const char* name) const { return join(path_, name); }

  static std::string join(const std::string& folder, const char* name) {
    char out[platform::kMaxPath];
    return platform::joinPath(out, sizeof out, folder.c_str(), name) ? std::string(out) : std::string();
  }

 private:
  static void removeAll(const std::string& folder) {
    std::vector<std::pair<std::string, bool>> entries;
    platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) {
      entries.emplace_back(join(folder, e.name), e.isDirectory);
      return true;
    });
    for (auto& [path, isDirectory] : entries) {
      if (isDirectory)
        removeAll(path);
      else
        platform::deleteFile(path.c_str());
    }
    platform::removeFolder(folder.c_str());
  }

  std::string path_;
};

// Whole file as bytes (empty when missing).
inline std::vector<unsigned char> readBytes(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
    std::fclose(f);
  }
  return bytes;
}

inline bool writeBytes(const std::string& path, const void* data, std::size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

inline bool writeText(const std::string& path, const std::string& text) {
  return writeBytes(path, text.data(), text.size());
}

}  // namespace testing_support
