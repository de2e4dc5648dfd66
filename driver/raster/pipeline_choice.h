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
// making the rows (render, conversion and separation) is a large share of
// a row's work, as on a photograph; on flat colour the diffusion and the
// writing, which stay with the caller, are nearly all of it. The shares are
// measured in processor time of the threads, which time spent descheduled
// leaves out. Rows found dear alone go to the pipeline as a try of a few
// strips, and stay there only where it also brought the caller's pace up:
// under load the shares of flat colour drift up to the threshold while two
// threads get no more processor time than one, and there a share alone
// kept rows in the pipeline that made the page slower. Each try that does
// not pay makes the next wait for more looks that find the rows dear.
#pragma once

#include <cstdint>

namespace rx3 {

class HandOverChoice {
 public:
  // True while rows go to the pipeline.
  bool handsOver() const { return handOver_; }
  // Rows made and written on the caller's thread alone in wallSeconds, of
  // which makeTicks (of allTicks) went into the render and the conversion.
  // True when from now on the rows should be handed over.
  bool madeAlone(int32_t rows, int64_t makeTicks, int64_t allTicks, double wallSeconds);
  // Rows the pipeline takes before its rows are judged: a try's few, or
  // the whole band once it has paid.
  int32_t pipelinedRows() const;
  // Rows went through the pipeline: the making of them (render,
  // conversion, separation) took this share of the work per row, and each
  // took the caller wallPerRow seconds (0 not known).
  void handedOver(double makeShare, double wallPerRow);
  // The rows handed over are a try, judged after pipelinedRows().
  bool trying() const { return trying_; }

  // For tests and benchmarks: kAlways hands every row over from the first
  // on, whatever it costs; kTakeTurns has rows alone and tries of a few
  // rows in the pipeline take turns through every band.
  enum class Forced { kNo, kAlways, kTakeTurns };
  static void force(Forced how);

 private:
  bool handOver_ = false;
  bool trying_ = false;    // the rows handed over are a try
  int32_t dearLooks_ = 0;  // looks in a row that found the making dear
  int32_t rows_ = 0;       // of the look under way
  int64_t makeTicks_ = 0;
  int64_t allTicks_ = 0;
  double wall_ = 0;
  double aloneWallPerRow_ = 0;  // the caller's pace alone, lately (0 not known)
  int32_t failedTries_ = 0;     // in a row
};

class PipelineChoice {
 public:
  // Called by the caller with each row it finishes; true while the helper
  // should take part.
  bool rowDone();
  bool helperOn() const { return helperOn_; }
  // Rows go through the pipeline again after rows made alone: the window
  // under way starts anew (the time alone is no part of it). A try starts
  // with the helper on, so that it finds what two threads bring now.
  void resume(bool trying);
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

// What a band's rows through the pipeline cost: the making of madeRows
// rows (processor ticks of either side), the caller's other work over the
// rows it wrote (its ticks besides the making), and its wall time.
struct BandCost {
  int64_t makeTicks;
  int64_t madeRows;
  int64_t restTicks;
  int64_t rows;
  double wallSeconds;
};
// Both choices learn the making's share of a row's work from it (nothing
// where the system counts no thread's time).
void learnFrom(const BandCost& cost, HandOverChoice& handOver, PipelineChoice& choice);

}  // namespace rx3
