// The main window's commands whose work is not built yet: the job
// operations, the preview, the folder scan and the print
// worker's start step. Each does the nearest honest thing now and reports
// that nothing was done (0), so the window never shows a change that did
// not happen. The comment at each definition names the work that fills it.
#pragma once

#include "app/shell/app_state.h"

namespace vlx::pending {

int deleteJobs(AppState* state, int listIndex);
int deleteAllJobs(AppState* state, int listIndex);
int moveJobsToTop(AppState* state, int listIndex);
int moveJobsUp(AppState* state, int listIndex);
int moveJobsDown(AppState* state, int listIndex);
int moveJobsToBottom(AppState* state, int listIndex);
int moveJobsToOtherFolder(AppState* state, int listIndex);
int showPreview(AppState* state, int listIndex);

enum class ScanMode { Rebuild, Append };
int rescanFolders(AppState* state, ScanMode mode);
// Takes the first Waiting job when none prints and starts the worker.
int startNextJob(AppState* state);
// Tells a running print worker to stop after a cancel.
void stopPrintWorker();

}  // namespace vlx::pending
