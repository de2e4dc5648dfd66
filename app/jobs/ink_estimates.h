// The ink estimates of the print list's jobs, made one after the other by a
// worker thread at low priority and kept per file as long as the file's size
// and last-write time stay the same: asking again for an unchanged file (as
// every folder scan does) costs a look at the file, never a new dry run.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

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

class InkEstimates {
 public:
  explicit InkEstimates(EstimateJob estimate);
  ~InkEstimates();  // cancels the running estimate and waits for the worker
  InkEstimates(const InkEstimates&) = delete;
  InkEstimates& operator=(const InkEstimates&) = delete;

  // Queues the file unless its current version is estimated or queued.
  void want(const char* path);
  // The estimate of the file as it is now; false while there is none.
  bool find(const char* path, InkEstimate* out) const;
  // Called on the worker thread after each estimate that was kept.
  void onEstimated(std::function<void(const std::string& path)> notify);
  // How many dry runs were made (for tests and the benchmark).
  int runs() const { return runs_; }
  // Waits until the queue is empty and nothing runs; false on time-out.
  bool waitIdle(int timeoutMs) const;

 private:
  struct Entry {
    FileVersion version;
    bool failed = false;
    InkEstimate estimate{};
  };
  void work();

  EstimateJob estimate_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::map<std::string, Entry> done_;
  std::deque<std::string> queue_;
  std::function<void(const std::string&)> notify_;
  std::atomic<int> cancel_{0};
  std::atomic<int> runs_{0};
  bool busy_ = false;
  std::string running_;  // the file of the dry run under way
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace vlx
