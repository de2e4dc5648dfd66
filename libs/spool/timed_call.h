// A system call that may block for long with no time-out of its own (a
// host-name lookup, opening a file on a stalled share or a fifo, a read of a
// stalled disk, starting a printer's job) runs on a thread of its own; the
// caller waits for it in slices, within a time-out and asking the hook of
// its control. A call that does not come back in time is left to finish on
// its thread, and what it made then is released there.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "libs/spool/send_control.h"

namespace spool {

template <class Result>
SendResult callTimed(const std::function<Result()>& call, const SendControl& control,
                     const std::function<void(Result&)>& release, Result* out) {
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
        if (release) release(r);
        return;
      }
      shared->result = r;
      shared->finished = true;
      shared->done.notify_all();
    }).detach();
  } catch (...) {
    return SendResult::kFailed;  // no thread: the call is not made
  }
  SendClock clock(control);
  std::unique_lock<std::mutex> hold(shared->lock);
  while (!shared->finished) {
    shared->done.wait_for(hold, std::chrono::milliseconds(kWaitSliceMs));
    if (shared->finished) break;
    hold.unlock();
    const SendResult verdict = clock.check();  // may call the host: not under the lock
    hold.lock();
    if (shared->finished || verdict == SendResult::kSent) continue;
    shared->abandoned = true;
    return verdict;
  }
  *out = shared->result;
  return SendResult::kSent;
}

// The same with a time-out alone.
template <class Result>
bool callTimed(const std::function<Result()>& call, int timeoutMs, const std::function<void(Result&)>& release,
               Result* out) {
  SendControl control;
  control.timeoutMs = timeoutMs;
  return callTimed<Result>(call, control, release, out) == SendResult::kSent;
}

}  // namespace spool
