// Hot-folder intake of files a host may still be writing. A file is taken
// only when it has stopped changing: its size and last-write time must be
// the same at two looks at least kSettleMilliseconds apart. The scan asks
// again at its next run; sooner, the window looks again at just the files
// that are due (dueLooks), when nextDue says.
//
// A file that has settled but cannot be taken yet (another program holds it
// open, it cannot be read just now) is looked at again after a growing
// pause, 1 s, 2 s, 4 s, 8 s; after that only the ordinary scans look at it,
// so a file that stays locked costs a look at one file now and then and
// never a re-scan of the folder every second.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vlx {

constexpr std::int64_t kSettleMilliseconds = 1000;
// The longest pause before a settled file that could not be taken is looked
// at again by itself; the folder scans keep looking at it anyway.
constexpr std::int64_t kLongestRetryMilliseconds = 8 * kSettleMilliseconds;

// A monotonic clock in milliseconds; tests put in their own.
std::int64_t watchClock();
void useWatchClock(std::int64_t (*clock)());

class IntakeWatch {
 public:
  enum class Verdict { Take, Wait };
  static constexpr std::int64_t kNotDue = INT64_MAX;

  // Every look of a scan falls between these two; files not looked at in a
  // scan (gone, or listed meanwhile) are forgotten at its end.
  void beginScan();
  void endScan();
  // A file that is not listed yet, seen now with this size and write time.
  // key is the path in the form the scan compares paths (letter case folded),
  // path the file's own.
  Verdict look(const std::string& key, const std::string& path, std::uint64_t size, std::int64_t writeTime,
               std::int64_t now);
  // The file had settled but could not be taken: its next look by itself is
  // put off, longer each time.
  void putOff(const std::string& key, std::int64_t now);
  // How long the file has been seen with the size and time it has now.
  std::int64_t unchangedFor(const std::string& key, std::int64_t now) const;
  // The file was taken (listed, or set aside as no job).
  void forget(const std::string& key) { looks_.erase(key); }
  // Files seen but not taken yet.
  std::size_t waiting() const { return looks_.size(); }
  // When the earliest file is due for a look by itself; kNotDue for none.
  std::int64_t nextDue() const;
  // The files due by now: key and path.
  std::vector<std::pair<std::string, std::string>> dueLooks(std::int64_t now) const;

 private:
  struct Look {
    std::string path;
    std::uint64_t size;
    std::int64_t writeTime;
    std::int64_t since;  // when the file was first seen with this size and time
    std::uint64_t scan;  // the last scan that saw it
    std::int64_t due;    // when a look at it alone is worth it
    int putOffs;         // settled but not taken, so many times in a row
  };
  std::unordered_map<std::string, Look> looks_;
  std::uint64_t scan_ = 0;
};

}  // namespace vlx
