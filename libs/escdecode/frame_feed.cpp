#include "libs/escdecode/frame_feed.h"

#include <algorithm>
#include <cstring>

namespace escp {
namespace {

// The waits look at their cancel flag this often.
constexpr auto kSlice = std::chrono::milliseconds(50);

}  // namespace

FrameFeed::FrameFeed(Visit visit, size_t capacity) : visit_(std::move(visit)), ring_(std::max<size_t>(capacity, 1)) {
  thread_ = std::thread([this] { decode(); });
}

FrameFeed::~FrameFeed() {
  abort();
  if (thread_.joinable()) thread_.join();
}

void FrameFeed::abort() {
  std::lock_guard<std::mutex> hold(lock_);
  aborted_ = true;
  changed_.notify_all();
}

void FrameFeed::decode() {
  Problem problem{0, {}};
  const bool whole = decodeEachFrame([this](uint8_t* into, size_t max) { return read(into, max); }, visit_, &problem);
  std::lock_guard<std::mutex> hold(lock_);
  whole_ = whole;
  problem_ = aborted_ ? Problem{0, {}} : problem;
  ended_ = true;
  changed_.notify_all();
}

// The decoder's side: what is there, else a wait for more or for the end.
// An abort reads as a read error, which ends the decoding at once.
long long FrameFeed::read(uint8_t* into, size_t max) {
  std::unique_lock<std::mutex> hold(lock_);
  while (!held_ && !closed_ && !aborted_) changed_.wait_for(hold, kSlice);
  if (aborted_) return -1;
  const size_t n = std::min({max, held_, ring_.size() - head_});
  std::memcpy(into, &ring_[head_], n);
  head_ = (head_ + n) % ring_.size();
  held_ -= n;
  changed_.notify_all();
  return static_cast<long long>(n);
}

bool FrameFeed::write(const void* data, size_t size, const std::atomic<int>* cancel) {
  const auto* from = static_cast<const uint8_t*>(data);
  std::unique_lock<std::mutex> hold(lock_);
  while (size > 0) {
    if (ended_ || aborted_ || closed_ || (cancel && cancel->load())) return false;
    if (held_ == ring_.size()) {
      changed_.wait_for(hold, kSlice);
      continue;
    }
    const size_t tail = (head_ + held_) % ring_.size();
    const size_t n = std::min({size, ring_.size() - held_, ring_.size() - tail});
    std::memcpy(&ring_[tail], from, n);
    held_ += n;
    from += n;
    size -= n;
    changed_.notify_all();
  }
  return !ended_;
}

bool FrameFeed::finish(Problem* problem, const std::atomic<int>* cancel) {
  std::unique_lock<std::mutex> hold(lock_);
  closed_ = true;
  changed_.notify_all();
  while (!ended_) {
    if (cancel && cancel->load()) {
      aborted_ = true;
      changed_.notify_all();
    }
    changed_.wait_for(hold, kSlice);
  }
  hold.unlock();
  thread_.join();
  if (problem) *problem = problem_;
  return whole_;
}

}  // namespace escp
