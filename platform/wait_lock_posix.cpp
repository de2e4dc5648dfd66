#include <condition_variable>  // and std::chrono::milliseconds (<chrono> itself does not build in CP932)
#include <mutex>
#include <new>

#include "platform/wait_lock.h"

namespace platform {
namespace {

std::mutex& mutexOf(unsigned char* storage) {
  return *std::launder(reinterpret_cast<std::mutex*>(storage));
}

std::condition_variable& conditionOf(unsigned char* storage) {
  return *std::launder(reinterpret_cast<std::condition_variable*>(storage));
}

}  // namespace

WaitLock::WaitLock() {
  static_assert(sizeof(std::mutex) <= sizeof storage_);
  new (storage_) std::mutex();
}

WaitLock::~WaitLock() {
  mutexOf(storage_).~mutex();
}

void WaitLock::lock() {
  mutexOf(storage_).lock();
}

void WaitLock::unlock() {
  mutexOf(storage_).unlock();
}

WaitSignal::WaitSignal() {
  static_assert(sizeof(std::condition_variable) <= sizeof storage_);
  new (storage_) std::condition_variable();
}

WaitSignal::~WaitSignal() {
  conditionOf(storage_).~condition_variable();
}

void WaitSignal::waitFor(WaitLock& lock, int milliseconds) {
  // The caller holds the mutex: adopted for the wait, and left held.
  std::unique_lock<std::mutex> hold(mutexOf(lock.storage_), std::adopt_lock);
  conditionOf(storage_).wait_for(hold, std::chrono::milliseconds(milliseconds));
  hold.release();
}

void WaitSignal::notifyAll() {
  conditionOf(storage_).notify_all();
}

}  // namespace platform
