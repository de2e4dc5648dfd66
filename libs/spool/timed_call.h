// A system call that may block for long with no time-out of its own (a
// host-name lookup) runs on a thread of its own; the caller waits for it at
// most a set time. A call that does not come back in time is left to finish
// on its thread, and what it made then is released there.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace spool {

template <class Result>
bool callTimed(const std::function<Result()>& call, int timeoutMs, void (*release)(Result), Result* out) {
  struct Shared {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    Result result{};
  };
  std::shared_ptr<Shared> shared;
  try {
    shared = std::make_shared<Shared>();
    std::thread([shared, call, release] {
      Result r = call();
      std::lock_guard<std::mutex> hold(shared->lock);
      if (shared->abandoned) {
        release(r);
        return;
      }
      shared->result = r;
      shared->finished = true;
      shared->done.notify_all();
    }).detach();
  } catch (...) {
    return false;  // no thread: the call is not made
  }
  std::unique_lock<std::mutex> hold(shared->lock);
  if (!shared->done.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] { return shared->finished; })) {
    shared->abandoned = true;
    return false;
  }
  *out = shared->result;
  return true;
}

}  // namespace spool
