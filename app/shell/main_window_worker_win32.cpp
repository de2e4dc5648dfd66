// The main window's side of printing: the refresh that scans the folders and
// starts the next job, the quick intake between refreshes (a new file in the
// hot folder, the short look at files that are settling), and the messages
// the print worker posts.
#include <windows.h>

#include <string>

#include "app/jobs/folder_scan.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/shell/ink_warning.h"
#include "app/shell/main_window_parts_win32.h"
#include "app/shell/print_requests.h"
#include "app/shell/print_worker.h"
#include "platform/path.h"

namespace vlx {

void startPrinting(MainWindowParts* parts) {
  AppState* state = parts->context->state;
  if (parts->inkDialogOpen || !startNextJob(state, &parts->worker)) return;
  // Auto-print never waits on the user: the warning goes to the status bar.
  parts->inkNotice[0] = '\0';
  if (state->autoPrint == 1) inkNoticeForPrintingJob(state, parts->inkNotice, sizeof parts->inkNotice);
  refreshStatusPart(parts, kStatusCounts);
  parts->animation = 0;
  SetTimer(parts->window, kAnimationTimer, kAnimationPeriod, nullptr);
}

void scheduleSettleCheck(MainWindowParts* parts) {
  const int delay = settleCheckDelay();
  if (delay < 0) {
    KillTimer(parts->window, kSettleTimer);
    return;
  }
  SetTimer(parts->window, kSettleTimer, static_cast<UINT>(delay) + kSettleMargin, nullptr);
}

void refreshJobs(MainWindowParts* parts, bool rebuild) {
  AppState* state = parts->context->state;
  rescanFolders(state, rebuild ? ViewFill::Rebuild : ViewFill::Append);
  wantPrintListInk(state);
  refreshStatusPart(parts, kStatusCounts);
  scheduleSettleCheck(parts);
  startPrinting(parts);
}

namespace {

// Jobs were just taken into the lists (bit 1 << list index): they show at
// once, and a new job of the print list goes to the queue now, in auto-print
// mode as the next refresh tick would have marked it.
void afterIntake(MainWindowParts* parts, int grown) {
  AppState* state = parts->context->state;
  {
    JobListLock lock;
    for (int list : {kPrintList, kPrintedList}) {
      if (!(grown & (1 << list))) continue;
      refreshJobView(state, list == kPrintedList ? ViewFill::Rebuild : ViewFill::Append, list);
      refreshStatusColumn(state, list);
    }
  }
  refreshStatusPart(parts, kStatusCounts);
  if (grown & (1 << kPrintList)) {
    // The print first: the job it starts is held back from the estimates
    // before they hear of it, so no dry run of it begins beside its print.
    if (state->autoPrint == 1) requestAutoPrint(state);
    startPrinting(parts);
    wantPrintListInk(state);
  }
  refreshCommandStates(parts);
}

int printListLength(AppState* state) {
  JobListLock lock;
  return countJobs(listHead(state, kPrintList));
}

}  // namespace

void onSettleCheck(MainWindowParts* parts) {
  KillTimer(parts->window, kSettleTimer);
  const int grown = recheckSettling(parts->context->state);
  if (grown) afterIntake(parts, grown);
  scheduleSettleCheck(parts);
}

void onHotFolderChanged(MainWindowParts* parts) {
  if (parts->hotFolderWatch) parts->hotFolderWatch->handled();
  AppState* state = parts->context->state;
  const int before = printListLength(state);
  scanHotFolder(state);  // the first look at a new file; the settle check takes it
  if (printListLength(state) != before) afterIntake(parts, 1 << kPrintList);
  scheduleSettleCheck(parts);
}

void onWorkerStatus(MainWindowParts* parts, bool views) {
  AppState* state = parts->context->state;
  {
    JobListLock lock;
    if (views) {
      sortPrintedList(state);
      refreshJobView(state, ViewFill::Rebuild, kPrintList);
      refreshJobView(state, ViewFill::Rebuild, kPrintedList);
      refreshStatusColumn(state, kPrintedList);
    }
    refreshStatusColumn(state, kPrintList);
  }
  // The counts and the mode as the lists now stand.
  if (views)
    for (int part : {kStatusMode, kStatusCounts}) refreshStatusPart(parts, part);
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
