#include "libs/spool/send_control.h"

#include "platform/clock.h"

namespace spool {
namespace {

long long nowMs() {
  return platform::monotonicMilliseconds();
}

}  // namespace

SendClock::SendClock(const SendControl& control)
    : control_(control), lastProgressMs_(nowMs()), lastAskMs_(lastProgressMs_) {}

void SendClock::progressed() {
  lastProgressMs_ = nowMs();
}

SendResult SendClock::check() {
  const long long now = nowMs();
  if (control_.keepGoing && now - lastAskMs_ >= kWaitSliceMs) {
    lastAskMs_ = now;
    if (control_.keepGoing(control_.data) != 1) return SendResult::kCancelled;
  }
  if (now - lastProgressMs_ >= control_.timeoutMs) return SendResult::kTimedOut;
  return SendResult::kSent;
}

}  // namespace spool
