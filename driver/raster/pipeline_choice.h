// Whether a second thread pays off right now. Where the system shares the
// processors among groups of processes (a busy shop PC), a second thread
// may get no more processor time than one alone, or less: its sibling's
// share is split while it sleeps. The caller therefore measures the
// processor time the process receives per wall second, in windows of rows
// with the helper on and off, and keeps the mode that receives more; every
// few windows it looks at the other again.
#pragma once

#include <cstdint>

namespace rx3 {

class PipelineChoice {
 public:
  // Called by the caller with each row it finishes; true while the helper
  // should take part.
  bool rowDone();
  bool helperOn() const { return helperOn_; }

 private:
  void switchTo(bool on);

  bool helperOn_ = true;
  int32_t rows_ = 0;       // in this window
  int32_t windows_ = 0;    // since the last look at the other mode
  bool probing_ = false;   // this window looks at the other mode
  double wallStart_ = -1;  // the window's start
  double cpuStart_ = 0;
  double rate_[2] = {0, 0};  // processor seconds per wall second: off, on (0 unknown)
};

}  // namespace rx3
