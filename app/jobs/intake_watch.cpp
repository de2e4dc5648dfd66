#include "app/jobs/intake_watch.h"

#include <atomic>

#include "platform/clock.h"

namespace vlx {
namespace {

std::int64_t steadyMilliseconds() {
  return platform::monotonicMilliseconds();
}

std::atomic<std::int64_t (*)()> g_clock{steadyMilliseconds};

}  // namespace

std::int64_t watchClock() {
  return g_clock.load()();
}

void useWatchClock(std::int64_t (*clock)()) {
  g_clock.store(clock ? clock : steadyMilliseconds);
}

void IntakeWatch::beginScan() {
  ++scan_;
}

void IntakeWatch::endScan() {
  std::erase_if(looks_, [this](const auto& entry) { return entry.second.scan != scan_; });
}

IntakeWatch::Verdict IntakeWatch::look(const std::string& key, std::uint64_t size, std::int64_t writeTime,
                                       std::int64_t now) {
  auto [at, added] = looks_.try_emplace(key, Look{size, writeTime, now, scan_});
  Look& seen = at->second;
  seen.scan = scan_;
  if (added) return Verdict::Wait;
  if (seen.size != size || seen.writeTime != writeTime) {
    // Still being written: the settling time starts again.
    seen = Look{size, writeTime, now, scan_};
    return Verdict::Wait;
  }
  return now - seen.since >= kSettleMilliseconds ? Verdict::Take : Verdict::Wait;
}

}  // namespace vlx
