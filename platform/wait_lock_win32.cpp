#include <windows.h>

#include <new>

#include "platform/wait_lock.h"

namespace platform {
namespace {

SRWLOCK* lockOf(unsigned char* storage) {
  return std::launder(reinterpret_cast<SRWLOCK*>(storage));
}

CONDITION_VARIABLE* conditionOf(unsigned char* storage) {
  return std::launder(reinterpret_cast<CONDITION_VARIABLE*>(storage));
}

}  // namespace

WaitLock::WaitLock() {
  static_assert(sizeof(SRWLOCK) <= sizeof storage_);
  InitializeSRWLock(new (storage_) SRWLOCK);
}

WaitLock::~WaitLock() = default;  // a slim lock holds nothing to release

void WaitLock::lock() {
  AcquireSRWLockExclusive(lockOf(storage_));
}

void WaitLock::unlock() {
  ReleaseSRWLockExclusive(lockOf(storage_));
}

WaitSignal::WaitSignal() {
  static_assert(sizeof(CONDITION_VARIABLE) <= sizeof storage_);
  InitializeConditionVariable(new (storage_) CONDITION_VARIABLE);
}

WaitSignal::~WaitSignal() = default;

void WaitSignal::waitFor(WaitLock& lock, int milliseconds) {
  // A time-out and a wake-up alike come back holding the lock.
  SleepConditionVariableSRW(conditionOf(storage_), lockOf(lock.storage_), static_cast<DWORD>(milliseconds), 0);
}

void WaitSignal::notifyAll() {
  WakeAllConditionVariable(conditionOf(storage_));
}

}  // namespace platform
