// The ink estimates of the print list's jobs, made one after the other by a
// worker thread at low priority and kept per file as long as the file's size
// and last-write time stay the same. They are kept across restarts in a file
// of the installation folder, so a restart does not make them all again.
//
// The refresh tick hands over the whole list in print order (the printing
// job, the waiting ones, then the rest), and the queue follows that order.
// What a tick costs is bounded: the list is matched against what is known in
// memory, and only a few files a tick are looked at on disk (estimates read
// back from the file, then, in turn, the others, for a file changed in
// place).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/jobs/ink_estimate.h"
#include "platform/clock.h"

namespace vlx {

// Makes the estimate of a job file; false when it cannot (not a job, no
// plug-in for its machine) or when cancel was set meanwhile.
using EstimateJob = std::function<bool(const char* path, const std::atomic<int>& cancel, InkEstimate* out)>;

// What identifies one version of a file.
struct FileVersion {
  uint64_t size = 0;
  platform::LocalTime written{};
};
bool sameVersion(const FileVersion& a, const FileVersion& b);
// False when the file cannot be opened.
bool fileVersionOf(const char* path, FileVersion* version);

// Files looked at on disk per handed-over list, at most.
constexpr int kLooksPerList = 32;

class InkEstimates {
 public:
  // storePath: where the estimates are kept across restarts (read now,
  // written as they are made); empty: in memory only.
  explicit InkEstimates(EstimateJob estimate, std::string storePath = std::string());
  ~InkEstimates();  // cancels the running estimate, waits for the worker, saves
  InkEstimates(const InkEstimates&) = delete;
  InkEstimates& operator=(const InkEstimates&) = delete;

  // Queues the file unless its current version is estimated or queued.
  void want(const char* path);
  // The list as it is now, in the order its estimates are wanted. The queue
  // takes that order; files known in memory are left alone, apart from the
  // few looked at on disk this time.
  void wantInOrder(const std::vector<std::string>& paths);
  // The estimate of the file as it is now; false while there is none.
  bool find(const char* path, InkEstimate* out) const;
  // The file about to print (empty: none). Its dry run would hold the
  // machine's printing lock, which the print needs to begin, and the print
  // counts the job's ink into the account itself: its estimate waits while
  // the file is held, and one under way is stopped and made again once the
  // hold ends (if the file is still there; a printed job has moved away).
  // The other files' estimates go on meanwhile.
  void holdBack(const char* path);
  // Called on the worker thread after each estimate that was kept.
  void onEstimated(std::function<void(const std::string& path)> notify);
  // How many dry runs were made (for tests and the benchmark).
  int runs() const { return runs_; }
  // Files waiting for their estimate, in the order they will be made.
  std::vector<std::string> queued() const;
  // Waits until nothing runs and the queue holds nothing but a held file;
  // false on time-out.
  bool waitIdle(int timeoutMs) const;

 private:
  struct Entry {
    FileVersion version;
    bool failed = false;
    bool checked = true;  // false: read back from the store, not looked at yet
    InkEstimate estimate{};
  };
  void work();
  void enqueue(const std::string& path);  // mutex held
  bool anyToMake() const;                 // mutex held
  void save();                            // mutex not held

  EstimateJob estimate_;
  std::string storePath_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::unordered_map<std::string, Entry> done_;
  std::deque<std::string> queue_;
  std::unordered_set<std::string> queued_;  // what queue_ holds
  std::vector<std::string> listed_;         // the last list handed over
  std::size_t lookFrom_ = 0;                // where the next turn of looks starts in it
  std::function<void(const std::string&)> notify_;
  std::atomic<int> cancel_{0};
  std::atomic<int> runs_{0};
  bool busy_ = false;
  bool unsaved_ = false;
  std::int64_t savedAt_ = 0;
  std::string running_;  // the file of the dry run under way
  std::string heldBack_;
  bool yielded_ = false;  // the run under way was stopped for the held file
  bool stopping_ = false;
  std::mutex saveMutex_;  // one writer of the store at a time
  std::thread worker_;
};

}  // namespace vlx
