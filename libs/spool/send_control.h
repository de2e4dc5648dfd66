// How the channel waits on a port that takes no byte: a time-out counted
// from the last byte the port took, and a hook asked about every slice
// whether the job is still wanted.
#pragma once

namespace spool {

// A port that takes no byte for a minute fails the job, unless the device
// registry sets another time for it.
constexpr int kDefaultSendTimeoutMs = 60000;
// The longest a blocked wait goes without looking at the time-out and the
// hook: a cancel ends a blocked send within about this long.
constexpr int kWaitSliceMs = 100;

struct SendControl {
  int timeoutMs = kDefaultSendTimeoutMs;
  int (*keepGoing)(void* data) = nullptr;  // any answer other than 1 cancels
  void* data = nullptr;
};

enum class SendResult {
  kSent,
  kFailed,     // the port refused the bytes
  kTimedOut,   // the port took no byte for the time-out
  kCancelled,  // the hook answered other than 1
};

// Measures a blocked send: time since the port last took bytes, and the
// hook asked at most once per slice.
class SendClock {
 public:
  explicit SendClock(const SendControl& control);
  // The port took bytes.
  void progressed();
  // kSent to wait on, or why the wait ends.
  SendResult check();

 private:
  const SendControl& control_;
  long long lastProgressMs_;
  long long lastAskMs_;
};

}  // namespace spool
