// The print and cancel requests of the main window: they change job states
// of the print list, for the rows selected in its view or for every job, and
// bring the view's state column up to date. Each takes the job-list lock.
#pragma once

#include "app/shell/app_state.h"

namespace vlx {

enum class RequestScope { Selected, All };

struct RequestResult {
  // Selected: a row was selected. All: a job changed its state.
  bool acted;
  bool changed;  // some job changed its state
  // A Printing job was among those cancelled: the print worker must stop.
  bool stopWorker;
};

// Every Idle job in scope becomes Waiting; Waiting and Printing ones stay.
RequestResult requestPrint(AppState* state, RequestScope scope);
// Auto-print's request: every Idle job becomes Waiting, except a job that
// printed before and whose file could not be moved out of the hot folder.
RequestResult requestAutoPrint(AppState* state);
// Every Waiting or Printing job in scope becomes Idle.
RequestResult cancelPrint(AppState* state, RequestScope scope);

// A job of the print list is Printing, or the print worker still holds one.
bool jobIsPrinting(AppState* state);

}  // namespace vlx
