// A print worker host that records what the worker asks of the window and
// what the progress hooks show, for the print worker's tests over the fake
// and over the real drawing library.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/shell/print_worker.h"
#include "app/shell/progress_hooks.h"

namespace vlx {

// What the worker asked of the window, and what the hooks showed.
class RecordingHost final : public PrintWorkerHost, public ProgressDisplay {
 public:
  void requestStatusColumn() override { note("status"); }
  void requestListViews() override { note("views"); }
  void showWarning(const char* text) override {
    if (atBox) atBox();
    note(std::string("box:") + text);
  }
  void notify(const char* text) override { note(std::string("notice:") + text); }
  void postCompletion() override {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back("done");
    done_ = true;
    signal_.notify_all();
  }
  void setProgress(int position) override { note("progress:" + std::to_string(position)); }
  void setActivityText(const char* text) override { note(std::string("text:") + (text ? text : "idle")); }
  void pumpOwnQueue() override {}

  // Run as a box opens, on the worker's thread: what the user would see
  // before clicking.
  std::function<void()> atBox;

  // Waits (at most 10 s) for the completion message; the events until then.
  std::vector<std::string> waitForCompletion() {
    std::unique_lock<std::mutex> lock(mutex_);
    signal_.wait_for(lock, std::chrono::duration<int>(10), [&] { return done_; });
    done_ = false;
    std::vector<std::string> events;
    events.swap(events_);
    return events;
  }

 private:
  void note(std::string event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
  }
  std::mutex mutex_;
  std::condition_variable signal_;
  std::vector<std::string> events_;
  bool done_ = false;
};

inline bool contains(const std::vector<std::string>& events, const std::string& event) {
  return std::find(events.begin(), events.end(), event) != events.end();
}

}  // namespace vlx
