// A fresh, empty folder for one test, removed with everything in it at the
// end; and whole-file helpers. Header only, so other test programs can use it
// as "platform/scratch_folder.h".
#pragma once

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/file.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"

namespace testing_support {

// Always an absolute folder: a path handed to a library that resolves
// relative paths against its own folder (the byte channel's file ports)
// must name the same place as for the test. Without VLX_TEST_OUTPUT, the
// test program's folder.
inline std::string scratchBase() {
  const char* output = std::getenv("VLX_TEST_OUTPUT");
  if (output && output[0]) {
    platform::createFolder(output);
    if (platform::isFolder(output)) return output;
  }
  char self[platform::kMaxPath];
  char folder[platform::kMaxPath];
  if (platform::moduleFileName(nullptr, self, sizeof self) && platform::folderPart(self, folder, sizeof folder))
    return folder;
  return ".";
}

inline void removeTree(const std::string& folder) {
  std::vector<std::pair<std::string, bool>> entries;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& entry) {
    entries.emplace_back(folder + platform::kSeparator + entry.name, entry.isDirectory);
    return true;
  });
  for (const auto& [path, isDirectory] : entries) {
    if (isDirectory)
      removeTree(path);
    else
      platform::deleteFile(path.c_str());
  }
  platform::removeFolder(folder.c_str());
}

class ScratchFolder {
 public:
  // The tag's first three letters begin the folder's name, to tell whose
  // folder a failed run left behind.
  explicit ScratchFolder(const char* tag = "scr") {
    // A unique temporary file names the folder and keeps the name taken.
    char marker[platform::kMaxPath];
    if (!platform::makeTempFile(scratchBase().c_str(), tag, marker, sizeof marker)) std::abort();
    marker_ = marker;
    path_ = marker_ + ".d";
    if (!platform::createFolder(path_.c_str())) std::abort();
  }
  ~ScratchFolder() {
    removeTree(path_);
    platform::deleteFile(marker_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string join(const std::string& name) const { return path_ + platform::kSeparator + name; }

 private:
  std::string marker_;
  std::string path_;
};

// Sets an environment variable of this process (the tests' switches).
inline void setEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
  _putenv_s(name, value);
#else
  setenv(name, value, 1);
#endif
}

inline bool writeBytes(const std::string& path, const void* data, std::size_t size) {
  platform::FileHandle file = platform::openFile(path.c_str(), platform::OpenMode::CreateAlways);
  if (!file) return false;
  bool ok = platform::writeAll(file, data, size);
  platform::closeFile(file);
  return ok;
}

inline bool writeBytes(const std::string& path, const std::string& bytes) {
  return writeBytes(path, bytes.data(), bytes.size());
}

inline std::string readBytes(const std::string& path) {
  std::string content;
  platform::FileHandle file = platform::openFile(path.c_str(), platform::OpenMode::ReadShared);
  if (!file) return content;
  char buffer[4096];
  for (;;) {
    std::int64_t got = platform::readFile(file, buffer, sizeof buffer);
    if (got <= 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  platform::closeFile(file);
  return content;
}

// The same as bytes to compare with a test's own (empty when missing).
inline std::vector<unsigned char> readByteVector(const std::string& path) {
  const std::string content = readBytes(path);
  return std::vector<unsigned char>(content.begin(), content.end());
}

}  // namespace testing_support
