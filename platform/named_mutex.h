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

// The bookkeeping of every named lock of the process (POSIX: who holds
// which name, how deep, on which descriptor; Windows keeps its own). Made
// once, by the Base library, whose jBaseNamedLockTable hands it to every
// copy of this code in the process; null on Windows.
struct NamedMutexTable;
NamedMutexTable* newNamedMutexTable();

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
