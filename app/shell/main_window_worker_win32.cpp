// The main window's side of printing: the refresh that scans the folders and
// starts the next job, and the two messages the print worker posts.
#include <windows.h>

#include <string>

#include "app/jobs/folder_scan.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/shell/ink_warning.h"
#include "app/shell/main_window_parts_win32.h"
#include "app/shell/print_worker.h"
#include "platform/path.h"

namespace vlx {

void refreshJobs(MainWindowParts* parts, bool rebuild) {
  AppState* state = parts->context->state;
  rescanFolders(state, rebuild ? ViewFill::Rebuild : ViewFill::Append);
  wantPrintListInk(state);
  refreshStatusPart(parts, kStatusCounts);
  if (filesSettling() > 0) SetTimer(parts->window, kSettleTimer, kSettlePeriod, nullptr);
  if (!parts->inkDialogOpen && startNextJob(state, &parts->worker)) {
    // Auto-print never waits on the user: the warning goes to the status bar.
    parts->inkNotice[0] = '\0';
    if (state->autoPrint == 1) inkNoticeForPrintingJob(state, parts->inkNotice, sizeof parts->inkNotice);
    refreshStatusPart(parts, kStatusCounts);
    parts->animation = 0;
    SetTimer(parts->window, kAnimationTimer, kAnimationPeriod, nullptr);
  }
}

void onWorkerStatus(MainWindowParts* parts) {
  JobListLock lock;
  refreshStatusColumn(parts->context->state, kPrintList);
}

void onWorkerNotice(MainWindowParts* parts, char* text) {
  if (!text) return;
  // One line in the status bar: the first line of the notice and its reason.
  std::string line(text);
  delete[] text;
  for (std::size_t at; (at = line.find("\r\n")) != std::string::npos;) line.replace(at, 2, " ");
  platform::copyTruncated(parts->inkNotice, sizeof parts->inkNotice, line.c_str());
  refreshStatusPart(parts, kStatusCounts);
}

void onWorkerDone(MainWindowParts* parts) {
  KillTimer(parts->window, kAnimationTimer);
  parts->animation = kAnimationStopped;
  finishPrintWorker(parts->context->state);
  for (int part : {kStatusActivity, kStatusMode, kStatusCounts}) refreshStatusPart(parts, part);
  if (parts->preview) InvalidateRect(parts->preview, nullptr, FALSE);  // the idle frames
  refreshCommandStates(parts);
}

}  // namespace vlx
