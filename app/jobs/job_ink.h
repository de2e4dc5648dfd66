// The program's ink estimates of its print list: one background estimator
// for the process, started once the drawing library is open and stopped
// before it closes. Without it (tests, a start that failed) every question
// finds no estimate and nothing is queued.
#pragma once

#include "app/jobs/ink_estimates.h"
#include "app/shell/app_state.h"

namespace vlx {

// storePath: the file the estimates are kept in across restarts (null or
// empty: in memory only).
void startJobInk(EstimateJob estimate, const char* storePath = nullptr);
void stopJobInk();
// The same, waiting at most boundMs for a running dry run to end; false when
// it did not: it then ends on a thread of its own, still using the drawing
// library.
bool stopJobInkWithin(int boundMs);
// Calls notify on the estimator's thread after each estimate made.
void onJobInkEstimated(std::function<void(const std::string& path)> notify);

// Hands the print list to the estimator in print order: the printing job,
// the waiting ones, then the rest; a job whose file has no estimate yet is
// queued in that order (the caller need not hold the job-list lock; it is
// taken here).
void wantPrintListInk(AppState* state);
// The estimate of a job file as it is now; queues it when there is none.
bool jobInk(const char* path, InkEstimate* out);
// The job file about to print, from the start step to the end of its print
// (null: none): its estimate yields to the print (InkEstimates::holdBack).
void holdJobInk(const char* path);
bool jobInkRunning();

// The job's estimate set against the machine's account as it stands now
// (other jobs may have printed, a cartridge may have been reset since the
// estimate was made); false while there is no estimate.
bool jobInkNow(const char* path, const char* machine, InkEstimate* out);

}  // namespace vlx
