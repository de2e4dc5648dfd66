#include "driver/raster/row_pipeline.h"

#include "platform/thread_priority.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

#include "Base.h"
#include "platform/wait_lock.h"

namespace rx3 {
namespace {

constexpr int kWaitSlice = 50;  // milliseconds
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
  platform::WaitLock lock;
  platform::WaitSignal wake;
  ConvertedPixel* ring = nullptr;
  int16_t* inkRing = nullptr;   // 8 inks per record
  uint8_t* kindRing = nullptr;  // a diffusion kind per record
  // Each side's records of the row it separates (which then stay in its
  // cache): the thread's and the caller's.
  ConvertedPixel* scratch[2] = {};
  uint8_t* planeRing = nullptr;
  uint8_t* planar = nullptr;  // the caller's
  uint64_t inkTotals[kPipelineSlots][8] = {};
  int32_t recordsPerRow = 0;
  size_t planeBytes = 0;
  ConvertChunk chunk{};
  bool working = false;  // a chunk is under way
  bool busy = false;     // the thread is doing a step, outside the lock
  // Who sleeps on wake: each side wakes the other only when it waits (a
  // wake-up is a system call, dear on some systems).
  bool threadWaiting = false;
  bool callerWaiting = false;
  bool stop = false;       // the chunk is cancelled
  bool quit = false;       // the thread ends
  bool diffusing = false;  // a side is diffusing row `diffused`
  int32_t claimed = 0;     // rows taken for conversion by either side, in order
  int32_t diffused = 0;    // rows diffused
  int32_t written = 0;     // rows the caller is done with
  // A part of a chunk's render handed to the thread.
  struct RenderPart {
    jGdc* drawing;
    uint8_t* buffer;
    int32_t x0, y0, x1, y1, option;
  } renderPart{};
  bool renderAsked = false;
  int renderResult = 0;
  // The row whose records each ring slot holds, once converted; -1 none.
  int32_t converted[kPipelineSlots] = {};

  ConvertedPixel* records(int32_t r) {
    return ring + static_cast<size_t>(r % kPipelineSlots) * static_cast<size_t>(recordsPerRow);
  }
  int16_t* inks(int32_t r) {
    return inkRing + static_cast<size_t>(r % kPipelineSlots) * static_cast<size_t>(recordsPerRow) * 8;
  }
  uint8_t* kinds(int32_t r) {
    return kindRing + static_cast<size_t>(r % kPipelineSlots) * static_cast<size_t>(recordsPerRow);
  }
  uint8_t* planes(int32_t r) { return planeRing + static_cast<size_t>(r % kPipelineSlots) * planeBytes; }

  bool live() const { return working && !stop; }

  // The next row to convert: its record slot must have been diffused.
  int32_t claimConversion() {
    if (!live() || claimed >= chunk.rows || claimed - diffused >= kPipelineSlots) return -1;
    converted[claimed % kPipelineSlots] = -1;
    return claimed++;
  }

  // Whether the next row may be diffused now: converted, and its plane slot
  // written.
  bool mayDiffuse() const {
    const int32_t r = diffused;
    return live() && !diffusing && r < chunk.rows && converted[r % kPipelineSlots] == r && r - written < kPipelineSlots;
  }

  void notifyWaiters() {
    if (threadWaiting || callerWaiting) wake.notifyAll();
  }

  // The steps run outside the lock on rows no other step touches.
  // side: 0 the thread, 1 the caller.
  void convert(std::unique_lock<platform::WaitLock>& hold, int32_t r, int side) {
    const ConvertChunk c = chunk;
    hold.unlock();
    // Separated rows need their records no longer: they stay on this side.
    ConvertedPixel* rowRecords = c.separate ? scratch[side] : records(r);
    convertBand(c.transform, c.colorMode, c.rendered + static_cast<size_t>(r) * c.rowBytes, rowRecords + c.offset,
                c.width);
    if (c.separate) separateLineInks(c.separation, rowRecords, c.offset + c.width, inks(r), kinds(r));
    hold.lock();
    converted[r % kPipelineSlots] = r;
    notifyWaiters();
  }

  void diffuse(std::unique_lock<platform::WaitLock>& hold) {
    const int32_t r = diffused;
    const ConvertChunk c = chunk;
    diffusing = true;
    hold.unlock();
    uint8_t* rowPlanes = planes(r);
    std::memset(rowPlanes, 0, planeBytes);
    const SeparatedLine separated{inks(r), kinds(r)};
    halftoneLineInto(c.state, c.firstLine + r, c.separate ? nullptr : records(r), c.separate ? &separated : nullptr,
                     c.offset + c.width, rowPlanes, inkTotals[r % kPipelineSlots]);
    hold.lock();
    diffusing = false;
    diffused = r + 1;
    notifyWaiters();
  }

  void run() {
    std::unique_lock<platform::WaitLock> hold(lock);
    for (;;) {
      while (!quit && !live() && !renderAsked) wake.waitFor(lock, kWaitSlice);
      if (quit) return;
      if (renderAsked) {
        const RenderPart part = renderPart;
        busy = true;
        hold.unlock();
        const int result = jGdcDraw(part.drawing, part.buffer, part.x0, part.y0, part.x1, part.y1, part.option);
        hold.lock();
        busy = false;
        renderResult = result;
        renderAsked = false;
        wake.notifyAll();
        continue;
      }
      int32_t r = -1;
      if (mayDiffuse() || (r = claimConversion()) >= 0) {
        busy = true;
        if (r < 0)
          diffuse(hold);
        else
          convert(hold, r, 0);
        busy = false;
        // A cancel or the end waits for the step to be over.
        if (stop || quit) wake.notifyAll();
      } else if (diffused >= chunk.rows) {
        working = false;
        wake.notifyAll();
      } else {
        threadWaiting = true;
        wake.waitFor(lock, kWaitSlice);
        threadWaiting = false;
      }
    }
  }
};

RowPipeline::~RowPipeline() {
  if (!shared_) return;
  bool stuck = false;
  {
    std::unique_lock<platform::WaitLock> hold(shared_->lock);
    shared_->quit = true;
    shared_->wake.notifyAll();
    for (int slices = 0; shared_->busy && !stuck; ++slices) {
      stuck = slices >= kGiveUpSlices;
      if (!stuck) shared_->wake.waitFor(shared_->lock, kWaitSlice);
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
  jMemFree(shared_->inkRing);
  jMemFree(shared_->kindRing);
  jMemFree(shared_->scratch[0]);
  jMemFree(shared_->scratch[1]);
  jMemFree(shared_->planeRing);
  jMemFree(shared_->planar);
  delete shared_;
}

bool RowPipeline::start(int32_t recordsPerRow, size_t planeBytes) {
  if (shared_ || recordsPerRow <= 0 || planeBytes == 0) return false;
  shared_ = new (std::nothrow) Shared();
  if (!shared_) return false;
  const size_t slots = kPipelineSlots;
  const size_t records = slots * static_cast<size_t>(recordsPerRow);
  shared_->ring = static_cast<ConvertedPixel*>(jMemAlloc(records * sizeof(ConvertedPixel)));
  shared_->inkRing = static_cast<int16_t*>(jMemAlloc(records * 8 * sizeof(int16_t)));
  shared_->planeRing = static_cast<uint8_t*>(jMemAlloc(slots * planeBytes));
  shared_->planar = static_cast<uint8_t*>(jMemAlloc(planeBytes));
  shared_->kindRing = static_cast<uint8_t*>(jMemAlloc(records));
  const size_t scratchBytes = static_cast<size_t>(recordsPerRow) * sizeof(ConvertedPixel);
  for (ConvertedPixel*& row : shared_->scratch) row = static_cast<ConvertedPixel*>(jMemAlloc(scratchBytes));
  if (!shared_->ring || !shared_->inkRing || !shared_->planeRing || !shared_->planar || !shared_->kindRing ||
      !shared_->scratch[0] || !shared_->scratch[1])
    return false;
  // Records left of the drawing are never converted: they stay nothing drawn.
  std::memset(shared_->ring, 0, records * sizeof(ConvertedPixel));
  for (ConvertedPixel* row : shared_->scratch) std::memset(row, 0, scratchBytes);
  shared_->recordsPerRow = recordsPerRow;
  shared_->planeBytes = planeBytes;
  try {
    // At its caller's priority: a dry run lowers its own thread, and the
    // conversion it shares must not run above it.
    thread_ = new std::thread([s = shared_, priority = platform::thisThreadPriority()] {
      platform::setThisThreadPriority(priority);
      s->run();
    });
  } catch (...) {
    thread_ = nullptr;  // no thread: the caller does every step
  }
  return thread_ != nullptr;
}

int RowPipeline::render(jGdc* drawing, uint8_t* buffer, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                        int32_t option) {
  const int32_t rows = y1 - y0;
  const int32_t upper = rows / 2;
  if (upper < 1) return jGdcDraw(drawing, buffer, x0, y0, x1, y1, option);
  const size_t rowBytes = static_cast<size_t>(static_cast<int64_t>(x1) - x0) * 8;
  Shared& s = *shared_;
  {
    std::lock_guard<platform::WaitLock> hold(s.lock);
    s.renderPart =
        Shared::RenderPart{drawing, buffer + rowBytes * static_cast<size_t>(upper), x0, y0, x1, y1 - upper, option};
    s.renderAsked = true;
  }
  s.wake.notifyAll();
  const int mine = jGdcDraw(drawing, buffer, x0, y1 - upper, x1, y1, option);
  std::unique_lock<platform::WaitLock> hold(s.lock);
  for (int slices = 0; s.renderAsked; ++slices) {
    if (slices >= kGiveUpSlices) return 0;  // the thread may still write: the caller must not reuse the buffer
    s.wake.waitFor(s.lock, kWaitSlice);
  }
  return mine && s.renderResult ? 1 : 0;
}

void RowPipeline::begin(const ConvertChunk& chunk) {
  {
    std::lock_guard<platform::WaitLock> hold(shared_->lock);
    shared_->chunk = chunk;
    shared_->claimed = 0;
    shared_->diffused = 0;
    shared_->written = 0;
    for (int32_t& r : shared_->converted) r = -1;
    shared_->stop = false;
    shared_->working = chunk.rows > 0;
  }
  shared_->wake.notifyAll();
}

// While its row is not ready the caller does a free step itself, the
// diffusion first (the rows' one sequential step), rather than wait.
HalftonedRow RowPipeline::row(int32_t r) {
  std::unique_lock<platform::WaitLock> hold(shared_->lock);
  Shared& s = *shared_;
  for (int slices = 0; s.diffused <= r;) {
    if (s.stop || r >= s.chunk.rows) return HalftonedRow{nullptr, nullptr, nullptr};
    if (s.mayDiffuse()) {
      s.diffuse(hold);
      continue;
    }
    const int32_t mine = s.claimConversion();
    if (mine >= 0) {
      s.convert(hold, mine, 1);
      continue;
    }
    if (slices++ >= kGiveUpSlices) return HalftonedRow{nullptr, nullptr, nullptr};
    s.callerWaiting = true;
    s.wake.waitFor(s.lock, kWaitSlice);
    s.callerWaiting = false;
  }
  return HalftonedRow{s.planes(r), s.inkTotals[r % kPipelineSlots], s.planar};
}

void RowPipeline::done(int32_t r) {
  bool wake = false;
  {
    std::lock_guard<platform::WaitLock> hold(shared_->lock);
    if (r + 1 > shared_->written) shared_->written = r + 1;
    wake = shared_->threadWaiting;
  }
  if (wake) shared_->wake.notifyAll();
}

bool RowPipeline::cancel() {
  std::unique_lock<platform::WaitLock> hold(shared_->lock);
  shared_->stop = true;
  shared_->working = false;
  shared_->wake.notifyAll();
  // The thread finishes the row it holds, then waits for a new chunk.
  for (int slices = 0; shared_->busy; ++slices) {
    if (slices >= kGiveUpSlices) return false;
    shared_->wake.waitFor(shared_->lock, kWaitSlice);
  }
  return true;
}

}  // namespace rx3
