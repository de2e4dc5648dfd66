#include "driver/raster/pipeline_choice.h"

#include <atomic>

#include "platform/clock.h"

namespace rx3 {
namespace {

// Rows per window: long enough for the coarse processor clocks of some
// systems (15.6 ms), short enough to follow a load that comes and goes.
constexpr int32_t kWindowRows = 384;
// Windows in the chosen mode before one in the other: few while the two
// are close, more while the helper clearly pays (an idle machine).
constexpr int32_t kLookAgain = 6;
constexpr int32_t kLookAgainClear = 24;
constexpr double kClearMargin = 1.4;
// The helper's extra work (its strips travel between processors) must be
// paid for: it stays on only while it brings this much more time.
constexpr double kHelperMargin = 1.08;

// Rows alone per look at what they cost, and the share of the making that
// hands rows over after two looks in a row; a band through the pipeline
// keeps handing over while its making (with the separation, which the
// helper does too) is at least kKeepShare of a row's work.
constexpr int32_t kLookRows = 64;
constexpr double kDearShare = 0.22;
constexpr int32_t kDearLooks = 3;
constexpr double kKeepShare = 0.35;

std::atomic<bool> g_always{false};

}  // namespace

void HandOverChoice::always(bool on) {
  g_always = on;
}

bool HandOverChoice::madeAlone(int32_t rows, int64_t makeTicks, int64_t allTicks) {
  if (g_always.load()) return handOver_ = true;
  rows_ += rows;
  makeTicks_ += makeTicks;
  allTicks_ += allTicks;
  if (rows_ < kLookRows) return handOver_;
  if (allTicks_ <= 0) {
    // The system counts no thread's time: no telling what rows cost, and
    // the pipeline takes them all, as where it always pays.
    handOver_ = true;
  } else {
    const double share = static_cast<double>(makeTicks_) / static_cast<double>(allTicks_);
    dearLooks_ = share >= kDearShare ? dearLooks_ + 1 : 0;
    handOver_ = dearLooks_ >= kDearLooks;
  }
  rows_ = 0;
  makeTicks_ = allTicks_ = 0;
  return handOver_;
}

void HandOverChoice::handedOver(double makeShare) {
  handOver_ = g_always.load() || makeShare >= kKeepShare;
  dearLooks_ = 0;
  rows_ = 0;
  makeTicks_ = allTicks_ = 0;
}

void PipelineChoice::switchTo(bool on) {
  helperOn_ = on;
}

bool PipelineChoice::rowDone() {
  if (wallStart_ < 0) {
    wallStart_ = platform::monotonicSeconds();
    cpuStart_ = platform::processSeconds();
    return helperOn_;
  }
  if (++rows_ < kWindowRows) return helperOn_;
  const double wall = platform::monotonicSeconds(), cpu = platform::processSeconds();
  if (wall > wallStart_) rate_[helperOn_ ? 1 : 0] = (cpu - cpuStart_) / (wall - wallStart_);
  rows_ = 0;
  wallStart_ = wall;
  cpuStart_ = cpu;
  if (probing_) {
    // Back from a look at the other mode: keep the better one.
    probing_ = false;
    windows_ = 0;
    switchTo(rate_[1] >= rate_[0] * kHelperMargin);
    return helperOn_;
  }
  const bool clear = rate_[1] >= rate_[0] * kClearMargin;
  if (++windows_ >= (clear ? kLookAgainClear : kLookAgain) || rate_[helperOn_ ? 0 : 1] == 0) {
    probing_ = true;
    switchTo(!helperOn_);
  }
  return helperOn_;
}

}  // namespace rx3
