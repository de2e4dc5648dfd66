#include "libs/spool/held_file.h"

#include "platform/folders.h"

namespace spool {

void HeldFile::letGo() {
  std::lock_guard<std::mutex> hold(lock_);
  letGo_ = true;
  if (!pending_.empty()) platform::deleteFile(pending_.c_str());
  pending_.clear();
}

void HeldFile::remove(const char* path) {
  std::lock_guard<std::mutex> hold(lock_);
  if (platform::deleteFile(path) || !platform::pathExists(path) || letGo_) return;
  try {
    pending_ = path;
  } catch (...) {
    // Out of memory: the file stays, as it would have without the thread.
  }
}

}  // namespace spool
