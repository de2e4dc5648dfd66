// Whether a second thread pays off right now. Where the system shares the
// processors among groups of processes (a busy shop PC), a second thread
// may get no more processor time than one alone, or less: its sibling's
// share is split while it sleeps. And the caller is the pipeline's critical
// path (the diffusion and the writing stay with it): a helper that takes
// processor time from the caller (one other busy process: three threads on
// two processors) slows the page although the process as a whole receives
// more. The caller therefore measures the processor time it receives itself
// per wall second, in windows of rows with the helper on and off: with the
// helper it does only the rest of a row's work, so the helper pays while
// its rate with the helper is above its rate alone x (1 - the making's
// share). Where the system counts no thread's time, the process's rates are
// compared instead. Every few windows it looks at the other mode again.
//
// Whether rows are handed to the helper at all. Handing a strip over costs
// both sides: its rows travel between processors, the caller takes them
// from the ring rather than making each just before it writes it, and the
// helper is woken and put to sleep every few strips. That pays only where
// making the rows (render and conversion) is a large share of a row's work,
// as on a photograph; on flat colour the diffusion and the writing, which
// stay with the caller, are nearly all of it. The shares are measured in
// processor time of the threads, which time spent descheduled leaves out,
// so that they hold under any load. Rows made alone show only part of the
// making (the separation hides in the halftoning), so rows kept alone for
// long are tried in the pipeline now and then, where all of it shows.
#pragma once

#include <cstdint>

namespace rx3 {

class HandOverChoice {
 public:
  // True while rows go to the pipeline.
  bool handsOver() const { return handOver_; }
  // Rows made and written on the caller's thread alone, of which makeTicks
  // (of allTicks) went into the render and the conversion. True when from
  // now on the rows should be handed over.
  bool madeAlone(int32_t rows, int64_t makeTicks, int64_t allTicks);
  // A band went through the pipeline: the making of its rows (render,
  // conversion, separation) took this share of the work per row.
  void handedOver(double makeShare);
  // For tests: the rows go to the pipeline from the first on, whatever
  // they cost.
  static void always(bool on);

 private:
  bool handOver_ = false;
  int32_t dearLooks_ = 0;  // looks in a row that found the making dear
  int32_t rows_ = 0;       // of the look under way
  int64_t makeTicks_ = 0;
  int64_t allTicks_ = 0;
  int32_t keptRows_ = 0;  // made alone since rows last went to the pipeline
  static constexpr int32_t kFirstTryRows = 1024;
  int32_t tryRows_ = kFirstTryRows;  // kept alone before the pipeline is tried again
};

class PipelineChoice {
 public:
  // Called by the caller with each row it finishes; true while the helper
  // should take part.
  bool rowDone();
  bool helperOn() const { return helperOn_; }
  // What making the rows took of a row's work in the last band through the
  // pipeline (0 to 1).
  void makeShare(double share) { makeShare_ = share; }

 private:
  void switchTo(bool on);
  // From the rates of the two modes: whether the helper pays (clearly:
  // by a wide margin).
  bool helperPays(bool clearly) const;

  bool helperOn_ = true;
  int32_t rows_ = 0;       // in this window
  int32_t windows_ = 0;    // since the last look at the other mode
  bool probing_ = false;   // this window looks at the other mode
  double wallStart_ = -1;  // the window's start
  double cpuStart_ = 0;
  int64_t callerStart_ = 0;
  double makeShare_ = 0;
  double rate_[2] = {0, 0};        // the process's processor seconds per wall second: off, on (0 unknown)
  double callerRate_[2] = {0, 0};  // the caller's thread ticks per wall second: off, on (0 unknown)
};

}  // namespace rx3
