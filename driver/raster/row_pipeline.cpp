#include "driver/raster/row_pipeline.h"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

#include "Base.h"

namespace rx3 {
namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(50);
// One row converts in milliseconds; a thread silent this long is stuck.
constexpr int kGiveUpSlices = 30000 / 50;

bool defaultAllowed() {
  return std::thread::hardware_concurrency() > 1;
}

std::atomic<bool>& allowedFlag() {
  static std::atomic<bool> allowed{defaultAllowed()};
  return allowed;
}

}  // namespace

void allowRowPipeline(bool allowed) {
  allowedFlag() = allowed;
}

bool rowPipelineAllowed() {
  return allowedFlag();
}

struct RowPipeline::Shared {
  std::mutex lock;
  std::condition_variable wake;
  ConvertedPixel* ring = nullptr;
  int32_t recordsPerRow = 0;
  ConvertChunk chunk{};
  bool working = false;  // a chunk is being converted
  bool busy = false;     // the thread is converting a row, outside the lock
  // Who sleeps on wake: each side wakes the other only when it waits (a
  // wake-up is a system call, dear on some systems), and the thread only
  // once the writer has freed half the ring.
  bool converterWaiting = false;
  bool writerWaiting = false;
  bool stop = false;      // the chunk is cancelled
  bool quit = false;      // the thread ends
  int32_t converted = 0;  // rows of the chunk converted
  int32_t written = 0;    // rows of the chunk the caller is done with

  ConvertedPixel* slot(int32_t r) {
    return ring + static_cast<size_t>(r % kPipelineSlots) * static_cast<size_t>(recordsPerRow);
  }

  void run() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
      while (!quit && (!working || stop)) wake.wait_for(hold, kWaitSlice);
      if (quit) return;
      const int32_t r = converted;
      if (r >= chunk.rows) {
        working = false;
        wake.notify_all();
        continue;
      }
      if (r - written >= kPipelineSlots) {  // the ring is full: wait for the writer
        converterWaiting = true;
        wake.wait_for(hold, kWaitSlice);
        converterWaiting = false;
        continue;
      }
      const ConvertChunk c = chunk;
      busy = true;
      hold.unlock();
      convertBand(c.transform, c.colorMode, c.rendered + static_cast<size_t>(r) * c.rowBytes, slot(r) + c.offset,
                  c.width);
      hold.lock();
      busy = false;
      converted = r + 1;
      if (writerWaiting || stop) wake.notify_all();
    }
  }
};

RowPipeline::~RowPipeline() {
  if (!shared_) return;
  bool stuck = false;
  {
    std::unique_lock<std::mutex> hold(shared_->lock);
    shared_->quit = true;
    shared_->wake.notify_all();
    for (int slices = 0; shared_->busy && !stuck; ++slices) {
      stuck = slices >= kGiveUpSlices;
      if (!stuck) shared_->wake.wait_for(hold, kWaitSlice);
    }
  }
  auto* thread = static_cast<std::thread*>(thread_);
  if (stuck) {
    // A thread that never came back still holds the ring: it is left to
    // end on its own, and the ring to it.
    thread->detach();
    delete thread;
    return;
  }
  if (thread) {
    thread->join();
    delete thread;
  }
  jMemFree(shared_->ring);
  delete shared_;
}

bool RowPipeline::start(int32_t recordsPerRow) {
  if (shared_ || recordsPerRow <= 0) return false;
  shared_ = new (std::nothrow) Shared();
  if (!shared_) return false;
  const size_t bytes =
      static_cast<size_t>(kPipelineSlots) * static_cast<size_t>(recordsPerRow) * sizeof(ConvertedPixel);
  shared_->ring = static_cast<ConvertedPixel*>(jMemAlloc(bytes));
  if (!shared_->ring) return false;
  std::memset(shared_->ring, 0, bytes);
  shared_->recordsPerRow = recordsPerRow;
  try {
    thread_ = new std::thread([s = shared_] { s->run(); });
  } catch (...) {
    thread_ = nullptr;  // no thread: the caller converts on its own
  }
  return thread_ != nullptr;
}

void RowPipeline::begin(const ConvertChunk& chunk) {
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->chunk = chunk;
    shared_->converted = 0;
    shared_->written = 0;
    shared_->stop = false;
    shared_->working = chunk.rows > 0;
  }
  shared_->wake.notify_all();
}

const ConvertedPixel* RowPipeline::row(int32_t r) {
  std::unique_lock<std::mutex> hold(shared_->lock);
  for (int slices = 0; shared_->converted <= r; ++slices) {
    if (slices >= kGiveUpSlices || shared_->stop || r >= shared_->chunk.rows) return nullptr;
    shared_->writerWaiting = true;
    shared_->wake.wait_for(hold, kWaitSlice);
    shared_->writerWaiting = false;
  }
  return shared_->slot(r);
}

void RowPipeline::done(int32_t r) {
  bool wake = false;
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    if (r + 1 > shared_->written) shared_->written = r + 1;
    wake = shared_->converterWaiting && shared_->converted - shared_->written <= kPipelineSlots / 2;
  }
  if (wake) shared_->wake.notify_all();
}

bool RowPipeline::cancel() {
  std::unique_lock<std::mutex> hold(shared_->lock);
  shared_->stop = true;
  shared_->working = false;
  shared_->wake.notify_all();
  // The thread finishes the row it holds, then waits for a new chunk.
  for (int slices = 0; shared_->busy; ++slices) {
    if (slices >= kGiveUpSlices) return false;
    shared_->wake.wait_for(hold, kWaitSlice);
  }
  return true;
}

}  // namespace rx3
