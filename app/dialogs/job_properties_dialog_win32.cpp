// The job properties dialog "ｼｮﾌﾞ ﾌﾟﾛﾊﾟﾃｨ": the texts are taken from the
// job before the dialog opens, so nothing it shows depends on the job still
// being there while it is open.
#include <windows.h>

#include "app/dialogs/dialog_place_win32.h"
#include "app/dialogs/dialogs_win32.h"
#include "app/dialogs/job_properties.h"
#include "app/resources/resource.h"

namespace vlx {
namespace {

DialogPlace gPlace{};

void fill(HWND dialog, const JobPropertiesTexts& t) {
  SetDlgItemTextA(dialog, IDC_PROP_TITLE, t.title);
  SetDlgItemTextA(dialog, IDC_PROP_KIND, t.kind);
  SetDlgItemTextA(dialog, IDC_PROP_PATH, t.path);
  // Without a job the date keeps its template text.
  if (t.haveJob) SetDlgItemTextA(dialog, IDC_PROP_DATE, t.date);
  SetDlgItemTextA(dialog, IDC_PROP_FILE_SIZE, t.fileSize);
  SetDlgItemTextA(dialog, IDC_PROP_PRINT_SIZE, t.printSize);
  SetDlgItemTextA(dialog, IDC_PROP_MACHINE, t.machine);
  SetDlgItemTextA(dialog, IDC_PROP_INK, t.ink);
  SetDlgItemTextA(dialog, IDC_PROP_HISTORY, t.history);
  // The newest attempt, at the end, in sight.
  SendDlgItemMessageA(dialog, IDC_PROP_HISTORY, EM_LINESCROLL, 0, 0x7FFF);
}

// While the job's estimate is being made the dialog looks for it now and
// then, so it shows up without reopening.
constexpr UINT_PTR kInkTimer = 1;
constexpr UINT kInkPeriodMs = 500;

void onInkTimer(HWND dialog) {
  auto* t = reinterpret_cast<JobPropertiesTexts*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!t) return;
  fillInkText(t->path, t);
  if (!t->inkReady) return;
  KillTimer(dialog, kInkTimer);
  SetDlgItemTextA(dialog, IDC_PROP_INK, t->ink);
}

INT_PTR CALLBACK propertiesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      moveToRememberedPlace(dialog, gPlace);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      fill(dialog, *reinterpret_cast<const JobPropertiesTexts*>(lParam));
      if (!reinterpret_cast<const JobPropertiesTexts*>(lParam)->inkReady &&
          reinterpret_cast<const JobPropertiesTexts*>(lParam)->ink[0])
        SetTimer(dialog, kInkTimer, kInkPeriodMs, nullptr);
      // The focus on the close button, not on the path with all its text selected.
      SetFocus(GetDlgItem(dialog, IDOK));
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
      rememberPlace(dialog, &gPlace);
      EndDialog(dialog, 1);
      return TRUE;
    case WM_TIMER:
      if (wParam == kInkTimer) onInkTimer(dialog);
      return TRUE;
    case WM_DESTROY:
      KillTimer(dialog, kInkTimer);
      rememberPlace(dialog, &gPlace);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int openJobProperties(HWND owner, AppState* state, int listIndex) {
  JobPropertiesTexts texts = selectedJobPropertiesTexts(state, listIndex);
  DialogBoxParamA(dialogInstance(), "PROPATYDLG", owner, propertiesProc, reinterpret_cast<LPARAM>(&texts));
  return 1;
}

}  // namespace vlx
