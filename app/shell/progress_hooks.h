// The five progress hooks that the drawing library calls from inside a
// print: they drive the progress bar and the activity text of the status bar
// and carry a cancel from the window thread back into the print loop. They
// run on the print worker's thread and reach the window through a
// ProgressDisplay, which the window implements.
#pragma once

#include "Draw.h"

namespace vlx {

class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void setProgress(int position) = 0;  // 0..100
  // The activity part of the status bar; null: its idle text.
  virtual void setActivityText(const char* text) = 0;
  // Takes every message waiting in the calling thread's own queue.
  virtual void pumpOwnQueue() = 0;
};

// Where the hooks show progress; null: nowhere.
void useProgressDisplay(ProgressDisplay* display);

// The table handed to the drawing library: begin, end, query, step, yield.
const jProgressHooks* progressHooks();

// The running flag: 1 while a print runs and nobody asked it to stop.
int progressRunning();
// A new print may start: forgets an earlier stop request.
void armProgress();
// The window thread asks the running print to stop: the next hook call
// returns 0. A print that has not begun yet begins stopped.
void stopProgress();

}  // namespace vlx
