#include "app/jobs/ink_estimates.h"

#include <algorithm>
#include <cstring>

#include "platform/file.h"
#include "platform/thread_priority.h"

namespace vlx {

bool fileVersionOf(const char* path, FileVersion* version) {
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadAnyShare);
  if (!file) return false;
  const bool read = platform::fileSize(file, &version->size) && platform::lastWriteLocalTime(file, &version->written);
  platform::closeFile(file);
  return read;
}

bool sameVersion(const FileVersion& a, const FileVersion& b) {
  const platform::LocalTime &x = a.written, &y = b.written;
  return a.size == b.size && x.year == y.year && x.month == y.month && x.day == y.day && x.hour == y.hour &&
         x.minute == y.minute && x.second == y.second;
}

InkEstimates::InkEstimates(EstimateJob estimate) : estimate_(std::move(estimate)) {
  worker_ = std::thread([this] { work(); });
}

InkEstimates::~InkEstimates() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    stopping_ = true;
    cancel_ = 1;
  }
  changed_.notify_all();
  worker_.join();
}

void InkEstimates::want(const char* path) {
  FileVersion version;
  if (!path || !fileVersionOf(path, &version)) return;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    const auto found = done_.find(path);
    if (found != done_.end() && sameVersion(found->second.version, version)) return;
    // A file being estimated now is checked again by the worker when its run
    // ends, and queued again there if it changed meanwhile.
    if (running_ == path || std::find(queue_.begin(), queue_.end(), path) != queue_.end()) return;
    queue_.emplace_back(path);
  }
  changed_.notify_all();
}

bool InkEstimates::find(const char* path, InkEstimate* out) const {
  FileVersion version;
  if (!path || !fileVersionOf(path, &version)) return false;
  std::lock_guard<std::mutex> hold(mutex_);
  const auto found = done_.find(path);
  if (found == done_.end() || found->second.failed || !(sameVersion(found->second.version, version))) return false;
  *out = found->second.estimate;
  return true;
}

void InkEstimates::onEstimated(std::function<void(const std::string& path)> notify) {
  std::lock_guard<std::mutex> hold(mutex_);
  notify_ = std::move(notify);
}

bool InkEstimates::waitIdle(int timeoutMs) const {
  std::unique_lock<std::mutex> hold(mutex_);
  return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return queue_.empty() && !busy_; });
}

void InkEstimates::work() {
  platform::lowerThisThreadPriority();
  std::unique_lock<std::mutex> hold(mutex_);
  for (;;) {
    changed_.wait(hold, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    const std::string path = queue_.front();
    queue_.pop_front();
    busy_ = true;
    running_ = path;
    hold.unlock();
    Entry entry;
    // The version is taken before and checked after the run: a file that
    // changed meanwhile is estimated again from its new content.
    bool kept = false;
    if (fileVersionOf(path.c_str(), &entry.version)) {
      entry.failed = !estimate_(path.c_str(), cancel_, &entry.estimate);
      ++runs_;
      FileVersion after;
      kept = !cancel_ && fileVersionOf(path.c_str(), &after) && sameVersion(after, entry.version);
    }
    std::function<void(const std::string&)> notify;
    hold.lock();
    if (kept) {
      done_[path] = entry;
      notify = notify_;
    } else if (!stopping_ && !cancel_ && std::find(queue_.begin(), queue_.end(), path) == queue_.end() &&
               fileVersionOf(path.c_str(), &entry.version)) {
      queue_.push_back(path);
    }
    busy_ = false;
    running_.clear();
    changed_.notify_all();
    if (notify && !entry.failed) {
      hold.unlock();
      notify(path);
      hold.lock();
    }
  }
}

}  // namespace vlx
