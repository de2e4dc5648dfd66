// A named lock shared by every process of the machine, re-entrant for the
// thread that holds it.
#pragma once

namespace platform {

class NamedMutex;

// Creates the mutex if it does not exist yet; null on failure.
NamedMutex* openNamedMutex(const char* name);
// Waits without time-out. Re-entrant: each lock needs its unlock.
void lockNamedMutex(NamedMutex* mutex);
// Waits at most timeoutMs; false (not held) when the time ran out.
bool lockNamedMutexFor(NamedMutex* mutex, int timeoutMs);
void unlockNamedMutex(NamedMutex* mutex);
void closeNamedMutex(NamedMutex* mutex);

// Scoped use: open, lock; unlock, close.
class NamedLock {
 public:
  explicit NamedLock(const char* name);
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

 private:
  NamedMutex* mutex_;
};

}  // namespace platform
