// The version dialog "ﾊﾞｰｼﾞｮﾝ情報": caption, version text and icon of the
// variant, always at its template position.
#include <windows.h>

#include "app/dialogs/dialog_place_win32.h"
#include "app/dialogs/dialogs_win32.h"
#include "app/resources/resource.h"

namespace vlx {
namespace {

struct VersionTexts {
  const char* caption;
  const char* versionText;
  const char* iconName;
};

INT_PTR CALLBACK versionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* texts = reinterpret_cast<const VersionTexts*>(lParam);
    SetDlgItemTextA(dialog, IDC_VER_CAPTION, texts->caption ? texts->caption : "");
    SetDlgItemTextA(dialog, IDC_VER_TEXT, texts->versionText ? texts->versionText : "");
    HICON icon = texts->iconName && texts->iconName[0] ? LoadIconA(dialogInstance(), texts->iconName) : nullptr;
    if (!icon) icon = LoadIconA(nullptr, IDI_APPLICATION);
    SendDlgItemMessageA(dialog, IDC_VER_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, 1);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int openVersionDialog(HWND owner, const char* caption, const char* versionText, const char* iconName) {
  const VersionTexts texts{caption, versionText, iconName};
  DialogBoxParamA(dialogInstance(), "VERSIONDLG", owner, versionProc, reinterpret_cast<LPARAM>(&texts));
  return 1;
}

}  // namespace vlx
