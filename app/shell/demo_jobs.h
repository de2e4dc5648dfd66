// A demonstration switch: with VLX_DEMO_JOBS=1 in the environment the main
// window starts with a few sample job records in both lists, so the window
// can be looked at (and photographed) with jobs in it before any job file
// exists. Without the switch nothing changes.
#pragma once

#include "app/shell/app_state.h"

namespace vlx {

constexpr char kDemoJobsVariable[] = "VLX_DEMO_JOBS";

bool demoJobsRequested();
// Appends the sample records to both lists; the number of records added.
// The caller holds the job-list lock and refreshes the views.
int addDemoJobs(AppState* state);

}  // namespace vlx
