#include "app/jobs/intake_watch.h"

#include <algorithm>
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

IntakeWatch::Verdict IntakeWatch::look(const std::string& key, const std::string& path, std::uint64_t size,
                                       std::int64_t writeTime, std::int64_t now) {
  const Look fresh{path, size, writeTime, now, scan_, now + kSettleMilliseconds, 0};
  auto [at, added] = looks_.try_emplace(key, fresh);
  Look& seen = at->second;
  seen.scan = scan_;
  if (added) return Verdict::Wait;
  if (seen.size != size || seen.writeTime != writeTime) {
    // Still being written: the settling time starts again.
    seen = fresh;
    return Verdict::Wait;
  }
  return now - seen.since >= kSettleMilliseconds ? Verdict::Take : Verdict::Wait;
}

void IntakeWatch::putOff(const std::string& key, std::int64_t now) {
  const auto found = looks_.find(key);
  if (found == looks_.end()) return;
  Look& seen = found->second;
  const std::int64_t pause = kSettleMilliseconds << std::min(seen.putOffs, 3);
  seen.due = pause <= kLongestRetryMilliseconds && seen.putOffs <= 3 ? now + pause : kNotDue;
  ++seen.putOffs;
}

std::int64_t IntakeWatch::unchangedFor(const std::string& key, std::int64_t now) const {
  const auto found = looks_.find(key);
  return found == looks_.end() ? 0 : now - found->second.since;
}

std::int64_t IntakeWatch::nextDue() const {
  std::int64_t earliest = kNotDue;
  for (const auto& [key, seen] : looks_) earliest = std::min(earliest, seen.due);
  return earliest;
}

std::vector<std::pair<std::string, std::string>> IntakeWatch::dueLooks(std::int64_t now) const {
  std::vector<std::pair<std::string, std::string>> due;
  for (const auto& [key, seen] : looks_)
    if (seen.due <= now) due.emplace_back(key, seen.path);
  return due;
}

}  // namespace vlx
