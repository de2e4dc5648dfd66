// Named mutex on Windows: a kernel mutex, which is already shared across
// processes and re-entrant for the owning thread. An abandoned mutex (its
// owner died) counts as acquired: the files it guards are whole files that
// every user rewrites completely.
#include <windows.h>

#include "platform/named_mutex.h"

namespace platform {

// The system keeps the names: nothing of ours to share.
NamedMutexTable* newNamedMutexTable() {
  return nullptr;
}

NamedMutex* openNamedMutex(const char* name) {
  HANDLE handle = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
  if (!handle) handle = CreateMutexA(nullptr, FALSE, name);
  return reinterpret_cast<NamedMutex*>(handle);
}

void lockNamedMutex(NamedMutex* mutex) {
  if (mutex) WaitForSingleObject(reinterpret_cast<HANDLE>(mutex), INFINITE);
}

bool lockNamedMutexFor(NamedMutex* mutex, int timeoutMs) {
  if (!mutex) return false;
  const DWORD got = WaitForSingleObject(reinterpret_cast<HANDLE>(mutex), static_cast<DWORD>(timeoutMs));
  return got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
}

void unlockNamedMutex(NamedMutex* mutex) {
  if (mutex) ReleaseMutex(reinterpret_cast<HANDLE>(mutex));
}

void closeNamedMutex(NamedMutex* mutex) {
  if (mutex) CloseHandle(reinterpret_cast<HANDLE>(mutex));
}

}  // namespace platform
