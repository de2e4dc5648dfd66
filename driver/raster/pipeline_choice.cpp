#include "driver/raster/pipeline_choice.h"

#include <atomic>
#include <climits>

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

// Rows alone per look at what they cost, and the share of a row's work
// that its making (render, conversion and separation, which the helper
// would take) must have for the rows to go to the pipeline: after
// kDearLooks looks in a row alone, and while it lasts in the pipeline.
// Flat colour's making is about 0.3 of its work, a photograph's 0.45 (an
// enlarged one: its separation is the dear part) to 0.6.
constexpr int32_t kLookRows = 64;
constexpr double kDearShare = 0.35;
constexpr int32_t kDearLooks = 3;
// Rows handed over after rows made alone are a try of this many, judged
// by the pipeline's share and the caller's pace; tries that did not pay in
// a row double the looks before the next, up to this many doublings.
constexpr int32_t kTryRows = 256;
constexpr int32_t kMostPutOff = 4;

constexpr int32_t kTakeTurnsRows = 3;
// The caller's pace over fewer rows is mostly the helper's start: not told.
constexpr int64_t kLeastPacedRows = 64;

std::atomic<HandOverChoice::Forced> g_forced{HandOverChoice::Forced::kNo};

}  // namespace

void HandOverChoice::force(Forced how) {
  g_forced = how;
}

bool HandOverChoice::madeAlone(int32_t rows, int64_t makeTicks, int64_t allTicks, double wallSeconds) {
  const Forced forced = g_forced.load();
  if (forced != Forced::kNo) {
    trying_ = forced == Forced::kTakeTurns;
    return handOver_ = true;
  }
  rows_ += rows;
  makeTicks_ += makeTicks;
  allTicks_ += allTicks;
  wall_ += wallSeconds;
  if (rows_ < kLookRows) return handOver_;
  if (allTicks_ <= 0) {
    // The system counts no thread's time: no telling what rows cost, and
    // the pipeline takes them all, as where it always pays.
    handOver_ = true;
    trying_ = false;
  } else {
    const double share = static_cast<double>(makeTicks_) / static_cast<double>(allTicks_);
    const double pace = wall_ / rows_;
    aloneWallPerRow_ = aloneWallPerRow_ > 0 ? (aloneWallPerRow_ + pace) / 2 : pace;
    dearLooks_ = share >= kDearShare ? dearLooks_ + 1 : 0;
    handOver_ = trying_ = dearLooks_ >= (kDearLooks << failedTries_);
  }
  rows_ = 0;
  makeTicks_ = allTicks_ = 0;
  wall_ = 0;
  return handOver_;
}

int32_t HandOverChoice::pipelinedRows() const {
  if (!trying_) return INT32_MAX;
  return g_forced.load() == Forced::kTakeTurns ? kTakeTurnsRows : kTryRows;
}

void HandOverChoice::handedOver(double makeShare, double wallPerRow) {
  const Forced forced = g_forced.load();
  bool pays = forced == Forced::kAlways || (forced == Forced::kNo && makeShare >= kDearShare);
  // A try also has to bring the caller's pace up against the rows just made
  // alone (the pipeline's own choices then keep it paying under a load
  // that comes and goes).
  if (forced == Forced::kNo && trying_ && wallPerRow > 0 && aloneWallPerRow_ > 0)
    pays = pays && wallPerRow < aloneWallPerRow_;
  if (pays && trying_) failedTries_ = 0;
  if (!pays) {
    dearLooks_ = 0;
    if (trying_ && failedTries_ < kMostPutOff) ++failedTries_;
  }
  handOver_ = pays;
  trying_ = false;
}

void PipelineChoice::switchTo(bool on) {
  helperOn_ = on;
}

void PipelineChoice::resume(bool trying) {
  rows_ = 0;
  wallStart_ = -1;
  if (!trying) return;
  probing_ = false;
  windows_ = 0;
  switchTo(true);
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

void learnFrom(const BandCost& cost, HandOverChoice& handOver, PipelineChoice& choice) {
  if (cost.madeRows <= 0 || cost.rows <= 0 || cost.restTicks <= 0) return;
  const double make = static_cast<double>(cost.makeTicks) / static_cast<double>(cost.madeRows);
  const double rest = static_cast<double>(cost.restTicks) / static_cast<double>(cost.rows);
  const double share = make / (make + rest);
  handOver.handedOver(share, cost.rows >= kLeastPacedRows ? cost.wallSeconds / static_cast<double>(cost.rows) : 0);
  choice.makeShare(share);
}

}  // namespace rx3
