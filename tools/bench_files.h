// Files the benchmarks set up beside themselves: a scratch folder next to
// the program and the plug-in copied into it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"

namespace bench {

// A path beside the running program; empty when it does not fit.
inline std::string besideProgram(const char* name) {
  char self[platform::kMaxPath], folder[platform::kMaxPath], path[platform::kMaxPath];
  if (!platform::moduleFileName(nullptr, self, sizeof self) || !platform::folderPart(self, folder, sizeof folder) ||
      !platform::joinPath(path, sizeof path, folder, name))
    return std::string();
  return path;
}

// Copies a file of up to 64 MB (a plug-in) over to.
inline bool copyFile(const std::string& from, const std::string& to) {
  std::vector<uint8_t> bytes(64u << 20);
  std::size_t length = 0;
  if (!platform::readWholeFile(from.c_str(), bytes.data(), bytes.size(), &length)) return false;
  platform::FileHandle out = platform::openFile(to.c_str(), platform::OpenMode::CreateAlways);
  if (!out) return false;
  const bool written = platform::writeAll(out, bytes.data(), length);
  platform::closeFile(out);
  return written;
}

}  // namespace bench
