#include "app/jobs/ink_estimates.h"

#include <algorithm>
#include <cstring>

#include "app/jobs/ink_estimate_store.h"
#include "platform/file.h"
#include "platform/thread_priority.h"

namespace vlx {
namespace {

// The store is written at most this often while estimates come in, and at
// the end; a crash loses the estimates of the last few seconds at most.
constexpr std::int64_t kSaveIntervalMs = 5000;

}  // namespace

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

InkEstimates::InkEstimates(EstimateJob estimate, std::string storePath)
    : estimate_(std::move(estimate)), storePath_(std::move(storePath)) {
  for (StoredEstimate& stored : loadEstimates(storePath_.c_str())) {
    Entry entry;
    entry.version = FileVersion{stored.size, stored.written};
    entry.checked = false;
    entry.estimate = stored.estimate;
    done_[stored.path] = entry;
  }
  savedAt_ = platform::monotonicMilliseconds();
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
  if (unsaved_) save();
}

void InkEstimates::enqueue(const std::string& path) {
  if (path == running_ || !queued_.insert(path).second) return;
  queue_.push_back(path);
}

void InkEstimates::want(const char* path) {
  FileVersion version;
  if (!path || !fileVersionOf(path, &version)) return;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    const auto found = done_.find(path);
    if (found != done_.end() && sameVersion(found->second.version, version)) {
      found->second.checked = true;
      return;
    }
    // A file being estimated now is checked again by the worker when its run
    // ends, and queued again there if it changed meanwhile.
    enqueue(path);
  }
  changed_.notify_all();
}

void InkEstimates::wantInOrder(const std::vector<std::string>& paths) {
  // Which files to look at on disk this time: those read back from the store
  // first, in the list's order, then a turn over the others.
  std::vector<std::string> looks;
  bool sameList = false;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    sameList = paths == listed_;
    if (!sameList) listed_ = paths;
    for (const std::string& path : paths) {
      if (looks.size() == kLooksPerList) break;
      const auto found = done_.find(path);
      if (found != done_.end() && !found->second.checked) looks.push_back(path);
    }
    std::size_t n = 0;
    for (; n < paths.size() && looks.size() < kLooksPerList; ++n) {
      const std::string& path = paths[(lookFrom_ + n) % paths.size()];
      const auto found = done_.find(path);
      if (found != done_.end() && found->second.checked) looks.push_back(path);
    }
    lookFrom_ = paths.empty() ? 0 : (lookFrom_ + n) % paths.size();
  }
  std::vector<std::pair<bool, FileVersion>> seen(looks.size());
  for (std::size_t i = 0; i < looks.size(); ++i) seen[i].first = fileVersionOf(looks[i].c_str(), &seen[i].second);
  {
    std::lock_guard<std::mutex> hold(mutex_);
    for (std::size_t i = 0; i < looks.size(); ++i) {
      const auto found = done_.find(looks[i]);
      if (found == done_.end()) continue;
      if (seen[i].first && sameVersion(found->second.version, seen[i].second)) {
        found->second.checked = true;
      } else {
        done_.erase(found);  // changed in place, or another file now: made again
        sameList = false;
      }
    }
    // The same list and nothing to make again: the queue is in order already
    // (the worker only takes from its front, and what a single want adds
    // goes behind the list's files either way).
    if (sameList) return;
    // The new queue: the list's unknown files in its order, then what was
    // asked for otherwise (a printed job's properties).
    std::deque<std::string> queue;
    std::unordered_set<std::string> queued;
    queued.reserve(paths.size() + queue_.size());
    for (const std::string& path : paths) {
      if (path == running_ || done_.count(path) || !queued.insert(path).second) continue;
      queue.push_back(path);
    }
    for (std::string& path : queue_)
      if (queued.insert(path).second) queue.push_back(std::move(path));
    queue_.swap(queue);
    queued_.swap(queued);
  }
  changed_.notify_all();
}

void InkEstimates::holdBack(const char* path) {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    heldBack_ = path ? path : "";
    if (!heldBack_.empty() && running_ == heldBack_ && !stopping_) {
      yielded_ = true;
      cancel_ = 1;
    }
  }
  changed_.notify_all();
}

bool InkEstimates::anyToMake() const {
  for (const std::string& path : queue_)
    if (path != heldBack_) return true;
  return false;
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

std::vector<std::string> InkEstimates::queued() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return std::vector<std::string>(queue_.begin(), queue_.end());
}

bool InkEstimates::waitIdle(int timeoutMs) const {
  std::unique_lock<std::mutex> hold(mutex_);
  return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return !anyToMake() && !busy_; });
}

void InkEstimates::save() {
  std::vector<StoredEstimate> kept;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    unsaved_ = false;
    savedAt_ = platform::monotonicMilliseconds();
    if (storePath_.empty()) return;
    // Only the jobs still listed (all, before the first list came): a job
    // that printed moved away under another name.
    const std::unordered_set<std::string> listed(listed_.begin(), listed_.end());
    for (const auto& [path, entry] : done_) {
      if (entry.failed || (!listed_.empty() && !listed.count(path))) continue;
      kept.push_back(StoredEstimate{path, entry.version.size, entry.version.written, entry.estimate});
    }
  }
  std::lock_guard<std::mutex> writing(saveMutex_);
  saveEstimates(storePath_.c_str(), kept);
}

void InkEstimates::work() {
  platform::lowerThisThreadPriority();
  std::unique_lock<std::mutex> hold(mutex_);
  for (;;) {
    changed_.wait(hold, [this] { return stopping_ || anyToMake(); });
    if (stopping_) return;
    auto next = queue_.begin();
    while (*next == heldBack_) ++next;  // anyToMake: there is another
    const std::string path = *next;
    queue_.erase(next);
    queued_.erase(path);
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
    running_.clear();
    if (yielded_ && !stopping_) {
      // Stopped for the print of its file: made again after it, unless
      // the file has left by then.
      yielded_ = false;
      cancel_ = 0;
      kept = false;
      enqueue(path);
    } else if (kept) {
      done_[path] = entry;
      unsaved_ = unsaved_ || !entry.failed;
      notify = notify_;
    } else if (!stopping_ && !cancel_ && fileVersionOf(path.c_str(), &entry.version)) {
      enqueue(path);
    }
    busy_ = false;
    const bool saveNow = unsaved_ && platform::monotonicMilliseconds() - savedAt_ >= kSaveIntervalMs;
    changed_.notify_all();
    if ((notify && !entry.failed) || saveNow) {
      hold.unlock();
      if (saveNow) save();
      if (notify && !entry.failed) notify(path);
      hold.lock();
    }
  }
}

}  // namespace vlx
