// A lock and a signal for threads of one process that hand work to each
// other many times a second. On Windows they are the system's slim lock and
// condition variable, which wait and wake without a round trip to the
// system when they can; elsewhere the standard ones.
#pragma once

#include <cstddef>

namespace platform {

class WaitLock {
 public:
  WaitLock();
  ~WaitLock();
  WaitLock(const WaitLock&) = delete;
  WaitLock& operator=(const WaitLock&) = delete;
  void lock();
  void unlock();

 private:
  friend class WaitSignal;
  alignas(std::max_align_t) unsigned char storage_[64];
};

class WaitSignal {
 public:
  WaitSignal();
  ~WaitSignal();
  WaitSignal(const WaitSignal&) = delete;
  WaitSignal& operator=(const WaitSignal&) = delete;
  // With lock held: releases it, waits until notified or milliseconds have
  // passed (or spuriously), and holds it again.
  void waitFor(WaitLock& lock, int milliseconds);
  void notifyAll();

 private:
  alignas(std::max_align_t) unsigned char storage_[64];
};

}  // namespace platform
