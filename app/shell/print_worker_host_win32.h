// The print worker's way to the main window: posted messages for the view
// refreshes and the completion, a message box for its report, and the
// progress bar and activity text for the progress hooks. Every call made
// from the worker's thread that waits for the window thread has a time-out.
#pragma once

#include <windows.h>

#include "app/shell/print_worker.h"
#include "app/shell/progress_hooks.h"

namespace vlx {

// Messages the worker posts to the main window.
constexpr UINT kWorkerStatusMessage = WM_APP + 1;  // refresh the print list's state column (wParam 1: both lists)
constexpr UINT kWorkerDoneMessage = WM_APP + 2;    // the worker has finished its job
constexpr UINT kWorkerNoticeMessage = WM_APP + 3;  // lParam: a notice (new[]'d text) for the status bar

class Win32PrintWorkerHost final : public PrintWorkerHost, public ProgressDisplay {
 public:
  void attach(HWND window, HWND status, HWND progress, const char* caption);

  void requestStatusColumn() override;
  void requestListViews() override;
  void showWarning(const char* text) override;
  void notify(const char* text) override;
  void postCompletion() override;

  void setProgress(int position) override;
  void setActivityText(const char* text) override;
  void pumpOwnQueue() override;

 private:
  HWND window_ = nullptr;
  HWND status_ = nullptr;
  HWND progress_ = nullptr;
  const char* caption_ = "";
};

}  // namespace vlx
