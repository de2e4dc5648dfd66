// Hot-folder intake of files a host may still be writing. A file is taken
// only when it has stopped changing: its size and last-write time must be
// the same at two looks at least kSettleMilliseconds apart. The scan asks
// again at its next run, or sooner when the window schedules a short
// re-check (filesSettling).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace vlx {

constexpr std::int64_t kSettleMilliseconds = 1000;

// A monotonic clock in milliseconds; tests put in their own.
std::int64_t watchClock();
void useWatchClock(std::int64_t (*clock)());

class IntakeWatch {
 public:
  enum class Verdict { Take, Wait };

  // Every look of a scan falls between these two; files not looked at in a
  // scan (gone, or listed meanwhile) are forgotten at its end.
  void beginScan();
  void endScan();
  // A file that is not listed yet, seen now with this size and write time.
  // key is the path in the form the scan compares paths (letter case folded).
  Verdict look(const std::string& key, std::uint64_t size, std::int64_t writeTime, std::int64_t now);
  // The file was taken (listed, or found not to be a job and deleted).
  void forget(const std::string& key) { looks_.erase(key); }
  // Files seen but not taken yet.
  std::size_t waiting() const { return looks_.size(); }

 private:
  struct Look {
    std::uint64_t size;
    std::int64_t writeTime;
    std::int64_t since;  // when the file was first seen with this size and time
    std::uint64_t scan;  // the last scan that saw it
  };
  std::unordered_map<std::string, Look> looks_;
  std::uint64_t scan_ = 0;
};

}  // namespace vlx
