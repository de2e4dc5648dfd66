#include "app/dialogs/environment_pages_win32.h"

#include <commctrl.h>

#include <cstdio>

#include "app/dialogs/dialog_place_win32.h"
#include "app/resources/resource.h"
#include "platform/path.h"

namespace vlx {
namespace {

EnvironmentCopy* copyOf(HWND page) {
  return reinterpret_cast<EnvironmentCopy*>(GetWindowLongPtrA(page, DWLP_USER));
}

void showHoldJobs(HWND page, int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  SetDlgItemTextA(page, IDC_ENV_HOLDJOB, text);
}

// The count as the edit holds it, clamped, back into the copy and the edit.
void takeHoldJobs(HWND page, EnvironmentCopy* copy) {
  char text[kHoldJobsTextLimit + 1] = "";
  GetDlgItemTextA(page, IDC_ENV_HOLDJOB, text, sizeof text);
  copy->holdJobs = holdJobsAfterEdit(text, copy->holdJobs);
  showHoldJobs(page, copy->holdJobs);
}

void initGeneral(HWND page, EnvironmentCopy* copy) {
  SendDlgItemMessageA(page, IDC_ENV_HOLDJOB_SPIN, UDM_SETRANGE, 0, MAKELPARAM(kHoldJobsMax, kHoldJobsMin));
  if (copy->autoPrint == 1) CheckDlgButton(page, IDC_ENV_AUTO, BST_CHECKED);
  if (copy->autoPrint == 0) CheckDlgButton(page, IDC_ENV_MANUAL, BST_CHECKED);
  showHoldJobs(page, copy->holdJobs);
}

void storeGeneral(HWND page, EnvironmentCopy* copy) {
  // The edit loses the focus first, so its value is clamped on screen too.
  SetFocus(GetDlgItem(page, IDC_ENV_PAGE_OK));
  if (IsDlgButtonChecked(page, IDC_ENV_AUTO) == BST_CHECKED) copy->autoPrint = 1;
  if (IsDlgButtonChecked(page, IDC_ENV_MANUAL) == BST_CHECKED) copy->autoPrint = 0;
  takeHoldJobs(page, copy);
}

INT_PTR CALLBACK generalProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(page, DWLP_USER, lParam);
    initGeneral(page, reinterpret_cast<EnvironmentCopy*>(lParam));
    return FALSE;
  }
  EnvironmentCopy* copy = copyOf(page);
  if (message != WM_COMMAND || !copy) return FALSE;
  const int id = LOWORD(wParam);
  if (id == IDC_ENV_HOLDJOB && HIWORD(wParam) == EN_KILLFOCUS) {
    takeHoldJobs(page, copy);
    return TRUE;
  }
  if (id == IDOK) {
    storeGeneral(page, copy);
    return TRUE;
  }
  return FALSE;
}

void refreshColor(HWND page, const EnvironmentCopy& copy) {
  SetDlgItemTextA(page, IDC_ENV_RGB, platform::fileNamePart(copy.profiles.rgbPath));
  SetDlgItemTextA(page, IDC_ENV_CMYK, platform::fileNamePart(copy.profiles.cmykPath));
  SetDlgItemTextA(page, IDC_ENV_INTENT, intentLabel(copy.profiles));
}

void chooseProfiles(HWND page, EnvironmentCopy* copy) {
  jProfileBlock block = copy->profiles;
  if (jCol2ProfileSelectDlg(page, &block) != 1) return;
  acceptProfileChoice(copy, block);
  PostMessageA(page, WM_COMMAND, IDC_ENV_REFRESH, 0);
}

INT_PTR CALLBACK colorProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(page, DWLP_USER, lParam);
    PostMessageA(page, WM_COMMAND, IDC_ENV_REFRESH, 0);
    return FALSE;
  }
  EnvironmentCopy* copy = copyOf(page);
  if (message != WM_COMMAND || !copy) return FALSE;
  switch (LOWORD(wParam)) {
    case IDC_ENV_REFRESH:
      refreshColor(page, *copy);
      return TRUE;
    case IDC_ENV_SET_PROFILES:
      chooseProfiles(page, copy);
      return TRUE;
    default:
      return FALSE;  // OK and Cancel: the copy is already up to date
  }
}

struct PageTemplate {
  const char* name;
  DLGPROC proc;
};

constexpr PageTemplate kPages[kEnvironmentPageCount] = {
    {"IDD_SETUPENV_EDIT", generalProc},
    {"IDD_SETUPENV_COLOR", colorProc},
};

}  // namespace

HWND createEnvironmentPage(HWND base, EnvironmentPage page, EnvironmentCopy* copy) {
  if (page < 0 || page >= kEnvironmentPageCount) return nullptr;
  return CreateDialogParamA(dialogInstance(), kPages[page].name, base, kPages[page].proc,
                            reinterpret_cast<LPARAM>(copy));
}

}  // namespace vlx
