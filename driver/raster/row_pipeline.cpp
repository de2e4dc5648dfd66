// The row pipeline: a helper thread per document makes strips of rows
// (render, conversion, separation) a few ahead of the caller, which halftones
// and writes them. It is one file because the helper's loop, the caller's
// take of a strip and the end of a band share one set of atomics and one
// lock whose rules (who claims a strip, who may make it again, who wakes
// whom) are read together; the choices of when to use it are in
// pipeline_choice.cpp, the strips' memory in row_strips.cpp and the
// process's counters and switches in pipeline_tally.cpp.
#include "driver/raster/row_pipeline.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

#include "Base.h"
#include "driver/raster/pipeline_choice.h"
#include "driver/raster/pipeline_tally.h"
#include "driver/raster/row_strips.h"
#include "platform/clock.h"
#include "platform/thread_priority.h"
#include "platform/wait_lock.h"

namespace rx3 {
namespace {

constexpr int kWaitSlice = 100;  // milliseconds; every wake-up that matters is signalled
// A strip is made in milliseconds; a helper silent this long is stuck.
constexpr int64_t kGiveUpNs = int64_t{30} * 1000 * 1000 * 1000;
// Before the caller makes a strip the helper holds, the helper gets this
// many times what a strip takes (a running helper is about to finish).
constexpr double kPatience = 1.25;
constexpr int64_t kFirstStripNs = 2 * 1000 * 1000;  // until one is measured
constexpr int64_t kSpinNs = 50 * 1000;

int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

struct RowPipeline::Shared {
  platform::WaitLock lock;
  platform::WaitSignal wake;
  StripRing ring;
  // Strips are numbered across the document's bands, so a slot's number
  // never matches a strip of another band.
  PipelineBand band{};
  int32_t bandGeneration = 0;  // under lock: the helper copies band when it changes
  int64_t bandBase = 0;        // the band's first strip
  int64_t bandEnd = 0;
  std::atomic<int64_t> next{0};                 // the next strip nobody has claimed
  std::atomic<int64_t> released{0};             // strips below this the caller is done with
  std::atomic<int64_t> writer[kPipelineSlots];  // the strip being made in a slot, -1 none
  std::atomic<int64_t> filled[kPipelineSlots];  // the strip a slot holds, made, -1 none
  std::atomic<int32_t> failed[kPipelineSlots];  // its render failed
  std::atomic<bool> stop{true};
  // The helper stays out (the process gets no more time with it).
  std::atomic<bool> solo{false};
  PipelineChoice choice;    // the caller's
  HandOverChoice handOver;  // the caller's
  // What the band's rows cost, in processor ticks of the threads: the
  // making of strips on either side, and all the caller's work.
  std::atomic<int64_t> helperMakeTicks{0}, helperMakeRows{0};
  int64_t callerMakeTicks = 0, callerMakeRows = 0, callerStartTicks = 0;
  int32_t rowsDone = 0;  // of the band, by the caller
  double bandStart = 0;  // wall seconds
  std::atomic<bool> quit{false};
  std::atomic<bool> exited{false};
  // The helper is claiming or making a strip (set before it looks at stop).
  std::atomic<bool> helperActive{false};
  std::atomic<int64_t> helperStrip{-1};  // the strip it makes, and since when
  std::atomic<int64_t> helperSince{0};
  std::atomic<bool> helperWaiting{false};
  std::atomic<bool> callerWaiting{false};
  std::atomic<int> priority{0};
  int64_t stripNs = kFirstStripNs;  // the caller's measure of one strip
  // The caller's place in the band.
  const StripData* current = nullptr;
  int64_t currentStrip = -1;
  bool currentFailed = false;

  Shared() {
    for (int i = 0; i < kPipelineSlots; ++i) {
      writer[i] = -1;
      filled[i] = -1;
      failed[i] = 0;
    }
  }

  // Claims the next strip for its slot; -1 when none may be: the band is
  // stopped or made, the ring is full, or the slot's last writer (of a
  // strip the caller made again) is still in it.
  int64_t claim(int64_t base, int64_t end, bool helper) {
    if (stop.load() || (helper && solo.load())) return -1;
    const int64_t q = next.load();
    if (q < base || q >= end || q >= released.load() + kPipelineSlots) return -1;
    std::atomic<int64_t>& slotWriter = writer[q % kPipelineSlots];
    int64_t none = -1;
    if (!slotWriter.compare_exchange_strong(none, q)) return -1;
    int64_t expected = q;
    if (!next.compare_exchange_strong(expected, q + 1)) {
      slotWriter.store(-1);  // someone else took q meanwhile
      return -1;
    }
    return q;
  }

  int32_t rowsOf(const PipelineBand& b, int64_t base, int64_t q) const {
    const int32_t perStrip = ring.rowsPerStrip();
    const int32_t first = static_cast<int32_t>(q - base) * perStrip;
    return b.rows - first < perStrip ? b.rows - first : perStrip;
  }

  // Makes strip q of band b in its slot and says so.
  void makeInSlot(const PipelineBand& b, int64_t base, int64_t q, int side) {
    const int slot = static_cast<int>(q % kPipelineSlots);
    const bool ok = ring.make(b, static_cast<int32_t>(q - base), ring.slot(slot), side);
    failed[slot].store(ok ? 0 : 1);
    filled[slot].store(q);
    writer[slot].store(-1);
  }

  void wakeCallerIfWaiting() {
    if (!callerWaiting.load()) return;
    std::lock_guard<platform::WaitLock> hold(lock);
    wake.notifyAll();
  }

  void run() {
    PipelineBand b{};
    int32_t generation = -1;
    int64_t base = 0, end = 0;
    int myPriority = platform::thisThreadPriority();
    for (;;) {
      helperActive.store(true);
      const int64_t q = claim(base, end, true);
      if (q >= 0) {
        helperSince.store(nowNs());
        helperStrip.store(q);
        if (const int stall = pipelineTally().helperStall.load())
          std::this_thread::sleep_for(std::chrono::milliseconds(stall));
        const int64_t ticks = platform::threadProcessorTicks();
        makeInSlot(b, base, q, 0);
        helperMakeTicks.fetch_add(platform::threadProcessorTicks() - ticks, std::memory_order_relaxed);
        helperMakeRows.fetch_add(rowsOf(b, base, q), std::memory_order_relaxed);
        pipelineTally().helperStrips.fetch_add(1, std::memory_order_relaxed);
        helperStrip.store(-1);
        helperActive.store(false);
        wakeCallerIfWaiting();
        continue;
      }
      helperActive.store(false);
      wakeCallerIfWaiting();
      std::unique_lock<platform::WaitLock> hold(lock);
      if (quit.load()) break;
      if (bandGeneration != generation) {
        generation = bandGeneration;
        b = band;
        base = bandBase;
        end = bandEnd;
        if (priority.load() != myPriority) {
          myPriority = priority.load();
          platform::setThisThreadPriority(myPriority);
        }
        continue;
      }
      // Nothing to claim: sleep until the caller frees half the ring or
      // starts a band. Said before looking again, so no wake-up is missed.
      helperWaiting.store(true);
      const bool more =
          !stop.load() && !solo.load() && next.load() < end && next.load() < released.load() + kPipelineSlots;
      if (!more) wake.waitFor(lock, kWaitSlice);
      helperWaiting.store(false);
    }
    exited.store(true);
    std::lock_guard<platform::WaitLock> hold(lock);
    wake.notifyAll();
  }

  // Waits for cond (helper state) in signalled slices, up to the give-up
  // time; false when it never came.
  template <typename Cond>
  bool waitUntil(Cond cond) {
    if (cond()) return true;
    const int64_t start = nowNs();
    std::unique_lock<platform::WaitLock> hold(lock);
    callerWaiting.store(true);
    bool ok = cond();
    while (!ok && nowNs() - start < kGiveUpNs) {
      wake.waitFor(lock, kWaitSlice);
      ok = cond();
    }
    callerWaiting.store(false);
    return ok;
  }

  // The strip the caller needs: made already, claimed and made here, or
  // made here again when the helper holding it does not come back in time.
  const StripData* strip(int64_t s, bool* stripFailed) {
    const int slot = static_cast<int>(s % kPipelineSlots);
    int64_t waitedSince = -1;
    for (;;) {
      if (filled[slot].load() == s) {
        if (waitedSince >= 0) pipelineTally().waitedNs.fetch_add(nowNs() - waitedSince, std::memory_order_relaxed);
        *stripFailed = failed[slot].load() != 0;
        return ring.slot(slot);
      }
      // The next unclaimed strip, which is s itself or one after it.
      const int64_t q = claim(bandBase, bandEnd, false);
      if (q >= 0) {
        const int64_t start = nowNs(), ticks = platform::threadProcessorTicks();
        makeInSlot(band, bandBase, q, 1);
        stripNs = (3 * stripNs + (nowNs() - start)) / 4;
        callerMakeTicks += platform::threadProcessorTicks() - ticks;
        callerMakeRows += rowsOf(band, bandBase, q);
        pipelineTally().callerStrips.fetch_add(1, std::memory_order_relaxed);
        if (waitedSince >= 0) pipelineTally().waitedNs.fetch_add(nowNs() - waitedSince, std::memory_order_relaxed);
        waitedSince = -1;
        continue;
      }
      const int64_t held = helperStrip.load();
      const int64_t now = nowNs();
      if (waitedSince < 0) waitedSince = now;
      const int64_t since = held == s ? helperSince.load() : waitedSince;
      if (now - since < static_cast<int64_t>(kPatience * static_cast<double>(stripNs))) {
        // A moment's spin for a helper about to finish, then asleep until
        // it says it has (each of its strips ends with a wake-up when
        // the caller waits), so that waiting costs no processor time.
        if (now - waitedSince < kSpinNs) {
          std::this_thread::yield();
          continue;
        }
        std::unique_lock<platform::WaitLock> hold(lock);
        callerWaiting.store(true);
        if (filled[slot].load() != s && helperStrip.load() == held) wake.waitFor(lock, 1);
        callerWaiting.store(false);
        continue;
      }
      // Not running, or the slot is held by a late writer: made here, and
      // nobody need make it again.
      pipelineTally().waitedNs.fetch_add(now - waitedSince, std::memory_order_relaxed);
      pipelineTally().madeAgain.fetch_add(1, std::memory_order_relaxed);
      const int64_t ticks = platform::threadProcessorTicks();
      *stripFailed = !ring.make(band, static_cast<int32_t>(s - bandBase), ring.spare(), 1);
      callerMakeTicks += platform::threadProcessorTicks() - ticks;
      callerMakeRows += rowsOf(band, bandBase, s);
      int64_t unclaimed = s;
      next.compare_exchange_strong(unclaimed, s + 1);
      return ring.spare();
    }
  }

  void release(int64_t upTo) {
    released.store(upTo);
    if (helperWaiting.load() && released.load() + kPipelineSlots - next.load() >= kPipelineSlots / 2) {
      std::lock_guard<platform::WaitLock> hold(lock);
      wake.notifyAll();
    }
  }
};

RowPipeline::~RowPipeline() {
  end();
}

void RowPipeline::end() {
  if (!shared_) return;
  Shared* s = shared_;
  auto* thread = static_cast<std::thread*>(thread_);
  s->stop.store(true);
  s->quit.store(true);
  {
    std::lock_guard<platform::WaitLock> hold(s->lock);
    s->wake.notifyAll();
  }
  const bool ended = !thread || s->waitUntil([s] { return s->exited.load(); });
  shared_ = nullptr;
  thread_ = nullptr;
  if (!ended) {
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
  delete s;
}

bool RowPipeline::prepare() {
  if (broken_) return false;
  if (!shared_) shared_ = new (std::nothrow) Shared();
  return shared_ != nullptr;
}

bool RowPipeline::start(int32_t recordsPerRow, int32_t width, size_t planeBytes, bool separate, int32_t maxRows) {
  if (!shared_ || broken_ || recordsPerRow <= 0 || width <= 0 || width > recordsPerRow || planeBytes == 0) return false;
  if (!shared_->ring.fit(recordsPerRow, width, planeBytes, separate, maxRows)) return false;
  if (!thread_) {
    try {
      // At its caller's priority: a dry run lowers its own thread, and the
      // work it shares must not run above it.
      shared_->priority.store(platform::thisThreadPriority());
      Shared* s = shared_;
      thread_ = new std::thread([s, priority = s->priority.load()] {
        platform::setThisThreadPriority(priority);
        s->run();
      });
    } catch (...) {
      thread_ = nullptr;  // no thread: the caller does every step
    }
  }
  return thread_ != nullptr;
}

void RowPipeline::begin(const PipelineBand& band) {
  Shared& s = *shared_;
  s.ring.clearLeftOf(band.offset);
  const int64_t strips = band.rows > 0 ? (band.rows + s.ring.rowsPerStrip() - 1) / s.ring.rowsPerStrip() : 0;
  {
    std::lock_guard<platform::WaitLock> hold(s.lock);
    s.band = band;
    s.bandBase = s.bandEnd;
    s.bandEnd = s.bandBase + strips;
    s.released.store(s.bandBase);
    s.next.store(s.bandBase);
    s.priority.store(platform::thisThreadPriority());
    s.current = nullptr;
    s.currentStrip = -1;
    s.stop.store(false);
    s.helperMakeTicks.store(0);
    s.helperMakeRows.store(0);
    s.callerMakeTicks = s.callerMakeRows = 0;
    s.rowsDone = 0;
    s.callerStartTicks = platform::threadProcessorTicks();
    s.bandStart = platform::monotonicSeconds();
    s.choice.resume(s.handOver.trying());
    s.solo.store(!s.choice.helperOn());
    ++s.bandGeneration;
    s.wake.notifyAll();
  }
}

HalftonedRow RowPipeline::row(int32_t r) {
  Shared& s = *shared_;
  const HalftonedRow none{nullptr, nullptr, nullptr};
  if (s.stop.load() || r < 0 || r >= s.band.rows) return none;
  const int32_t perStrip = s.ring.rowsPerStrip();
  const int64_t strip = s.bandBase + r / perStrip;
  if (strip != s.currentStrip) {
    s.current = s.strip(strip, &s.currentFailed);
    s.currentStrip = strip;
  }
  if (s.currentFailed) return none;
  s.rowsDone = r + 1;
  uint8_t* planes = s.ring.planes();
  uint64_t* totals = s.ring.inkTotals();
  s.ring.diffuse(s.band, *s.current, r % perStrip, r, planes, totals);
  // The strip's last row: its slot may take a later strip.
  if (r % perStrip == perStrip - 1 || r == s.band.rows - 1) s.release(strip + 1);
  const bool helperOn = s.choice.rowDone();
  if (helperOn == s.solo.load()) {
    s.solo.store(!helperOn);
    if (helperOn) {
      std::lock_guard<platform::WaitLock> hold(s.lock);
      s.wake.notifyAll();
    }
  }
  return HalftonedRow{planes, totals, s.ring.planar()};
}

bool RowPipeline::finish() {
  if (!shared_) return true;
  Shared* s = shared_;
  s->stop.store(true);
  const int64_t start = nowNs();
  const bool left = s->waitUntil([s] { return !s->helperActive.load(); });
  pipelineTally().waitedNs.fetch_add(nowNs() - start, std::memory_order_relaxed);
  if (!left) {
    broken_ = true;
    return false;
  }
  learnFrom(BandCost{s->callerMakeTicks + s->helperMakeTicks.load(), s->callerMakeRows + s->helperMakeRows.load(),
                     platform::threadProcessorTicks() - s->callerStartTicks - s->callerMakeTicks, s->rowsDone,
                     platform::monotonicSeconds() - s->bandStart},
            s->handOver, s->choice);
  return true;
}

HandOverChoice& RowPipeline::handOver() {
  return shared_->handOver;
}

}  // namespace rx3
