// The print worker: one job at a time on a thread of its own, so that the
// window stays responsive. The window thread's start step picks the first
// Waiting job of the print list and starts the worker; the worker loads the
// job's file into the drawing document, prints it through the drawing
// library, reports a failure or an interruption, moves the file into the
// printed-job folder and tells the window thread it has finished. The
// worker never touches a window: it asks the window thread through a
// PrintWorkerHost, which posts messages.
#pragma once

#include "app/shell/app_state.h"

namespace vlx {

constexpr char kPrintFailed[] = "ﾌﾟﾘﾝﾄに失敗しました。";
constexpr char kPrintInterrupted[] = "ﾌﾟﾘﾝﾄが中断されました。";
constexpr char kNotMoved[] =
    "ﾌﾟﾘﾝﾄしたｼﾞｮﾌﾞを印刷済みﾌｫﾙﾀﾞへ移動できませんでした。自動印刷ではこのｼﾞｮﾌﾞを再びﾌﾟﾘﾝﾄしません。";
constexpr char kNotMovedReason[] = "印刷済みﾌｫﾙﾀﾞへ移動できませんでした";
constexpr char kLoadFailedReason[] = "ｼﾞｮﾌﾞﾌｧｲﾙを読み込めませんでした";
constexpr char kCancelledBeforeReason[] = "ﾌﾟﾘﾝﾄ前に取り消されました";

class PrintWorkerHost {
 public:
  virtual ~PrintWorkerHost() = default;
  // Posted: the window thread refreshes the print list's state column.
  virtual void requestStatusColumn() = 0;
  // Posted: the window thread shows both lists as they are (the finished job
  // in the printed list) before a box of the worker waits for its click.
  virtual void requestListViews() {}
  // A warning box owned by the main window; returns when the user closed it.
  virtual void showWarning(const char* text) = 0;
  // Auto-print: the same report without waiting for anyone (the status bar
  // and a box that does not hold the queue); returns at once.
  virtual void notify(const char* text) = 0;
  // Posted: the worker has finished its job; the window thread runs
  // finishPrintWorker and brings its display back to idle.
  virtual void postCompletion() = 0;
};

// Window thread, after every refresh. 1 when a worker was started for the
// first Waiting job; 0 when a worker still runs, a job prints, none waits,
// or the thread could not be started (the job is Waiting again and the
// next refresh tries again).
int startNextJob(AppState* state, PrintWorkerHost* host);

// Window thread, on the completion message: waits for the worker thread's
// end (it has nothing left to do but return), rebuilds both lists' views and
// state columns (the printed job is in the printed list already), and
// clears the worker-running flag.
void finishPrintWorker(AppState* state);

// The worker-running flag: set by the start step, cleared by
// finishPrintWorker.
bool printWorkerRunning();

// A cancel reached the printing job: the print stops at its next hook call.
void stopPrintWorker();

// Ends the program's wait for a worker that is still there at close: true
// when none runs or it ended within the time; its thread is then released.
bool waitForPrintWorker(int milliseconds);

}  // namespace vlx
