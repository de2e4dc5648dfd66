// The environment settings dialog "環境設定": a tab control over two pages
// that edit a working copy of the settings. OK applies and writes the copy
// back; Cancel and the close box discard it.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "BaseD.h"
#include "app/dialogs/dialog_place_win32.h"
#include "app/dialogs/dialogs_win32.h"
#include "app/dialogs/environment_pages_win32.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_lock.h"
#include "app/resources/resource.h"

namespace vlx {
namespace {

constexpr const char* kTabTexts[kEnvironmentPageCount] = {"一般", "ｶﾗｰ"};

DialogPlace gPlace{};

struct EnvironmentDialog {
  EnvironmentCopy* copy;
  HWND pages[kEnvironmentPageCount];
  int current;
};

EnvironmentDialog* dialogOf(HWND dialog) {
  return reinterpret_cast<EnvironmentDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void placePages(HWND dialog, EnvironmentDialog* d) {
  RECT area{};
  GetWindowRect(GetDlgItem(dialog, IDC_ENV_PAGE_AREA), &area);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
  for (HWND page : d->pages) {
    if (page)
      SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_NOACTIVATE);
  }
}

void onInit(HWND dialog, EnvironmentDialog* d) {
  HWND tabs = GetDlgItem(dialog, IDC_ENV_TABS);
  for (int i = 0; i < kEnvironmentPageCount; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(kTabTexts[i]);
    SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    d->pages[i] = createEnvironmentPage(dialog, static_cast<EnvironmentPage>(i), d->copy);
  }
  d->current = kGeneralPage;
  if (!moveToRememberedPlace(dialog, gPlace)) jmtSetWinCenter(dialog);
  placePages(dialog, d);
  PostMessageA(dialog, WM_COMMAND, IDC_ENV_SHOW_PAGE, 0);
}

void showCurrentPage(HWND dialog, EnvironmentDialog* d) {
  SendDlgItemMessageA(dialog, IDC_ENV_TABS, TCM_SETCURSEL, static_cast<WPARAM>(d->current), 0);
  for (int i = 0; i < kEnvironmentPageCount; ++i) {
    if (d->pages[i]) ShowWindow(d->pages[i], i == d->current ? SW_SHOW : SW_HIDE);
  }
}

void destroyPages(EnvironmentDialog* d) {
  for (HWND& page : d->pages) {
    if (page) DestroyWindow(page);
    page = nullptr;
  }
}

void finish(HWND dialog, EnvironmentDialog* d, int result) {
  if (result == 1) {
    for (HWND page : d->pages)
      if (page) SendMessageA(page, WM_COMMAND, IDOK, 0);
  }
  destroyPages(d);
  rememberPlace(dialog, &gPlace);
  EndDialog(dialog, result);
}

INT_PTR CALLBACK environmentProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    onInit(dialog, reinterpret_cast<EnvironmentDialog*>(lParam));
    return TRUE;
  }
  EnvironmentDialog* d = dialogOf(dialog);
  if (!d) return FALSE;
  switch (message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->idFrom == IDC_ENV_TABS && header->code == TCN_SELCHANGE) {
        const LRESULT selected = SendDlgItemMessageA(dialog, IDC_ENV_TABS, TCM_GETCURSEL, 0, 0);
        if (selected >= 0 && selected < kEnvironmentPageCount) d->current = static_cast<int>(selected);
        PostMessageA(dialog, WM_COMMAND, IDC_ENV_SHOW_PAGE, 0);
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_ENV_SHOW_PAGE:
          showCurrentPage(dialog, d);
          return TRUE;
        case IDOK:
          finish(dialog, d, 1);
          return TRUE;
        case IDCANCEL:
          finish(dialog, d, 0);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_DESTROY:
      rememberPlace(dialog, &gPlace);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int openEnvironmentDialog(HWND owner, AppState* state) {
  if (!state) return 0;
  EnvironmentCopy copy = environmentCopyOf(*state);
  EnvironmentDialog dialog{&copy, {}, kGeneralPage};
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  const INT_PTR result =
      DialogBoxParamA(dialogInstance(), "IDD_SETUPENV_BASE", owner, environmentProc, reinterpret_cast<LPARAM>(&dialog));
  if (result != 1) return 0;
  int printed = 0;
  {
    JobListLock lock;
    printed = countJobs(listHead(state, kPrintedList));
  }
  const int lost = printedJobsToDelete(state->holdJobs, copy.holdJobs, printed);
  if (lost > 0) {
    char question[256];
    std::snprintf(question, sizeof question, kHoldJobsQuestion, static_cast<int>(copy.holdJobs), lost);
    char caption[128] = "";
    if (owner) GetWindowTextA(owner, caption, sizeof caption);
    // No: everything else of the dialog holds, the count stays as it was.
    if (MessageBoxA(owner, question, caption, MB_YESNO | MB_ICONWARNING) != IDYES) copy.holdJobs = state->holdJobs;
  }
  applyEnvironmentCopy(state, copy);
  return 1;
}

}  // namespace vlx
