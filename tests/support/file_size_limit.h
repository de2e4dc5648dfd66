// A limit on the size of every file this process writes, for its lifetime,
// as a full disk leaves one: a write past it fails (EFBIG) instead of raising
// SIGXFSZ. Natively only; on Windows it does nothing and available() is false.
#pragma once

#include <cstdint>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

namespace test_support {

class FileSizeLimit {
 public:
#ifndef _WIN32
  explicit FileSizeLimit(uint64_t bytes) {
    if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0) return;
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = static_cast<rlim_t>(bytes);
    set_ = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
  }
  ~FileSizeLimit() {
    if (set_) ::setrlimit(RLIMIT_FSIZE, &saved_);
    if (oldHandler_ != SIG_ERR) std::signal(SIGXFSZ, oldHandler_);
  }
  static bool available() {
    return true;
  }
#else
  explicit FileSizeLimit(uint64_t) {}
  static bool available() {
    return false;
  }
#endif
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
#ifndef _WIN32
  rlimit saved_{};
  void (*oldHandler_)(int) = SIG_ERR;
  bool set_ = false;
#endif
};

}  // namespace test_support
