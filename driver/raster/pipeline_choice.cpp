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
// The same judged by the caller's own rate, which is the page's pace: the
// helper's extra work is already in the making's share, so any gain counts;
// a clear one (as on an idle machine) is looked at again less often.
constexpr double kGainMargin = 1.0;
constexpr double kClearGain = 1.2;

// Rows alone per look at what they cost, and the share of the making that
// hands rows over after two looks in a row; a band through the pipeline
// keeps handing over while its making (with the separation, which the
// helper does too) is at least kKeepShare of a row's work.
constexpr int32_t kLookRows = 64;
constexpr double kDearShare = 0.22;
constexpr int32_t kDearLooks = 3;
constexpr double kKeepShare = 0.35;
// The looks of rows made alone see the render and the conversion, but the
// helper also takes the separation, which the caller does inside the
// halftoning: where the separation is the dear part (a photograph enlarged
// many times: each colour met again and again, each dot separated anew) the
// looks find the making cheap while the pipeline would halve the page's
// time. So after kFirstTryRows kept alone the rest of a band goes to the
// pipeline once, where the whole making is measured; each such try that
// finds it cheap doubles the rows before the next (flat colour pays for a
// few tries a page, a band's rest each).
constexpr int32_t kTryRowsMost = 16384;

std::atomic<bool> g_always{false};

}  // namespace

void HandOverChoice::always(bool on) {
  g_always = on;
}

bool HandOverChoice::madeAlone(int32_t rows, int64_t makeTicks, int64_t allTicks) {
  if (g_always.load()) return handOver_ = true;
  rows_ += rows;
  keptRows_ += rows;
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
    handOver_ = dearLooks_ >= kDearLooks || keptRows_ >= tryRows_;
  }
  rows_ = 0;
  makeTicks_ = allTicks_ = 0;
  return handOver_;
}

void HandOverChoice::handedOver(double makeShare) {
  handOver_ = g_always.load() || makeShare >= kKeepShare;
  if (handOver_)
    tryRows_ = kFirstTryRows;
  else if (keptRows_ >= tryRows_)
    tryRows_ = tryRows_ * 2 < kTryRowsMost ? tryRows_ * 2 : kTryRowsMost;
  keptRows_ = 0;
  dearLooks_ = 0;
  rows_ = 0;
  makeTicks_ = allTicks_ = 0;
}

void PipelineChoice::switchTo(bool on) {
  helperOn_ = on;
}

bool PipelineChoice::helperPays(bool clearly) const {
  if (callerRate_[0] > 0 && callerRate_[1] > 0 && makeShare_ > 0 && makeShare_ < 1) {
    // Rows per wall second with the helper against without it.
    const double gain = callerRate_[1] / (callerRate_[0] * (1 - makeShare_));
    return gain >= (clearly ? kClearGain : kGainMargin);
  }
  return rate_[1] >= rate_[0] * (clearly ? kClearMargin : kHelperMargin);
}

bool PipelineChoice::rowDone() {
  if (wallStart_ < 0) {
    wallStart_ = platform::monotonicSeconds();
    cpuStart_ = platform::processSeconds();
    callerStart_ = platform::threadProcessorTicks();
    return helperOn_;
  }
  if (++rows_ < kWindowRows) return helperOn_;
  const double wall = platform::monotonicSeconds(), cpu = platform::processSeconds();
  const int64_t caller = platform::threadProcessorTicks();
  if (wall > wallStart_) {
    rate_[helperOn_ ? 1 : 0] = (cpu - cpuStart_) / (wall - wallStart_);
    callerRate_[helperOn_ ? 1 : 0] = static_cast<double>(caller - callerStart_) / (wall - wallStart_);
  }
  rows_ = 0;
  wallStart_ = wall;
  cpuStart_ = cpu;
  callerStart_ = caller;
  if (probing_) {
    // Back from a look at the other mode: keep the better one.
    probing_ = false;
    windows_ = 0;
    switchTo(helperPays(false));
    return helperOn_;
  }
  const bool clear = helperPays(true);
  if (++windows_ >= (clear ? kLookAgainClear : kLookAgain) || rate_[helperOn_ ? 0 : 1] == 0) {
    probing_ = true;
    switchTo(!helperOn_);
  }
  return helperOn_;
}

}  // namespace rx3
