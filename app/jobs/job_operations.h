// The user's operations on the jobs of one list: reorder the print queue,
// move jobs to the other folder, delete, and the preview of the selected
// job. Each runs under the job-list lock, acts on the rows selected in the
// list's view (delete all: on every job) and rebuilds the view, whose
// selection follows the moved records. A job that prints, or that the print
// worker still holds, is never removed: the operation notes a refusal, and
// the caller shows its text once.
#pragma once

#include "app/shell/app_state.h"

namespace vlx {

// What the window shows after an operation that refused some job.
struct Refusal {
  const char* text;  // null: nothing refused
  bool error;        // error icon; otherwise the warning icon
};

constexpr char kRestoreFailed[] = "ｼﾞｮﾌﾞの復帰に失敗しました。";
constexpr char kCannotDeletePrinting[] = "ﾌﾟﾘﾝﾄ中のｼﾞｮﾌﾞの削除はできません。";
constexpr char kCouldNotDeletePrinting[] = "ﾌﾟﾘﾝﾄ中のｼﾞｮﾌﾞの削除はできませんでした。";

int moveJobsToTop(AppState* state, int listIndex);
int moveJobsUp(AppState* state, int listIndex);
int moveJobsDown(AppState* state, int listIndex);
int moveJobsToBottom(AppState* state, int listIndex);
// Print list: into the printed-job folder; printed list: back into the hot
// folder. Each file gets a new spool name; its record leaves the list and the
// file is listed again by the next scan of the other folder.
Refusal moveJobsToOtherFolder(AppState* state, int listIndex);
Refusal deleteJobs(AppState* state, int listIndex);
Refusal deleteAllJobs(AppState* state, int listIndex);

// Fills the preview buffer with the thumbnail of the first selected job of
// the list when the preview option is on: 1. Otherwise (or when the file
// gives none) light grey: 0.
int fetchPreview(AppState* state, int listIndex);

}  // namespace vlx
