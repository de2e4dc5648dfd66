// The main window's close request: refused while a job prints, otherwise
// the shutdown that stores the layout and releases everything.
#include <windows.h>

#include "Base.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_lock.h"
#include "app/resources/resource.h"
#include "app/shell/drawing_link.h"
#include "app/shell/environment_file.h"
#include "app/shell/main_window_parts_win32.h"
#include "app/shell/preview_buffer.h"
#include "app/shell/print_requests.h"
#include "app/shell/print_worker.h"
#include "app/shell/progress_hooks.h"
#include "app/shell/single_instance_win32.h"
#include "app/shell/soft_proof_window_win32.h"

namespace vlx {
namespace {

// A cancelled dry run ends within a slice of its wait for the printing lock
// or a band: this is far more than it needs.
constexpr int kDryRunStopMs = 2000;

constexpr char kCannotCloseWhilePrinting[] = "印刷中のｼﾞｮﾌﾞがあるため終了できません。\n印刷中のｼﾞｮﾌﾞを中止しますか？";

// The layout that the environment file keeps. When the window is minimised
// its rectangles are meaningless, so the values read at start-up stay.
void storeLayout(MainWindowParts* parts) {
  AppState* state = parts->context->state;
  for (int index = 0; index < 2; ++index) readColumnWidths(parts->lists[index], state->columnWidths[index]);
  if (IsIconic(parts->window)) return;
  RECT rect{};
  if (GetWindowRect(parts->window, &rect)) {
    state->mainRect[0] = rect.left;
    state->mainRect[1] = rect.top;
    state->mainRect[2] = rect.right;
    state->mainRect[3] = rect.bottom;
  }
  HWND upper = parts->lists[kPrintList];
  // A list squeezed to nothing is no split to come back to.
  if (upper && GetWindowRect(upper, &rect) && rect.bottom > rect.top) {
    MapWindowPoints(nullptr, parts->window, reinterpret_cast<POINT*>(&rect), 2);
    state->listRect[0] = rect.left;
    state->listRect[1] = rect.top;
    state->listRect[2] = rect.right;
    state->listRect[3] = rect.bottom;
  }
}

void releaseJobLists(AppState* state) {
  JobListLock lock;
  for (JobRecord*& head : state->lists) {
    destroyChain(head);
    head = nullptr;
  }
  // The views outlive the lists by a moment; nothing may reach them now.
  state->viewPorts[kPrintList] = state->viewPorts[kPrintedList] = nullptr;
}

void shutDown(MainWindowParts* parts) {
  AppState* state = parts->context->state;
  HWND window = parts->window;
  KillTimer(window, kRefreshTimer);
  KillTimer(window, kAnimationTimer);
  KillTimer(window, kSettleTimer);
  useProgressDisplay(nullptr);
  // From here on a next start runs on its own rather than handing over to a
  // window that is going away.
  SetPropA(window, kClosingProperty, reinterpret_cast<HANDLE>(1));
  ShowWindow(window, SW_HIDE);
  storeLayout(parts);
  writeEnvironment(state->environmentPath, state);
  releaseJobLists(state);
  // Their dry runs use the drawing library: they end before it closes. One
  // that does not end in time (held inside the plug-in) keeps the library
  // open; the process ends around it.
  closeSoftProofs();
  const bool dryRunsEnded = stopJobInkWithin(kDryRunStopMs);
  closeDrawingDocument(&state->document);
  freePreviewBuffer(state);
  if (dryRunsEnded) closeDrawingLibrary();
  releaseWindowObjects(parts);
  if (dryRunsEnded) jMemCheck();
  RemovePropA(window, kClosingProperty);
  DestroyWindow(window);
}

}  // namespace

LRESULT onClose(MainWindowParts* parts) {
  // A worker that has finished its job but whose completion is not handled
  // yet still uses the drawing document.
  if (jobIsPrinting(parts->context->state) || printWorkerRunning()) {
    if (messageBox(parts, kCannotCloseWhilePrinting, MB_YESNO | MB_ICONWARNING) == IDYES) {
      PostMessageA(parts->window, WM_COMMAND, IDM_CANCEL_AND_MANUAL, 0);
    }
    return 0;
  }
  shutDown(parts);
  return 0;
}

}  // namespace vlx
