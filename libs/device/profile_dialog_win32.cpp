// The profile editor: a modal dialog over a working copy of one profile.
// OK checks every field (profile_dialog_fields.h) and hands the copy back
// only when all pass; a refused field keeps the dialog open with the field
// selected. Cancel leaves the caller's profile as it was.
#include <windows.h>

#include <cstddef>
#include <new>

#include "Device.h"
#include "libs/device/profile_dialog_fields.h"
#include "libs/device/profile_dialog_ids.h"
#include "platform/module.h"

namespace device {
namespace {

constexpr const char* kCaption = "ﾌﾟﾛﾌｧｲﾙの編集";

struct Editor {
  ColorProfile working;
};

struct FieldControl {
  int id;
  ProfileField field;
  std::size_t offset;  // of the text in ProfileTexts
  std::size_t size;
};

#define VLX_FIELD(id, field, member) \
  { id, ProfileField::field, offsetof(ProfileTexts, member), sizeof(ProfileTexts::member) }
constexpr FieldControl kFields[] = {
    VLX_FIELD(IDC_CPF_NAME, kName, name),
    VLX_FIELD(IDC_CPF_INK_LIMIT, kInkLimit, inkLimit),
    VLX_FIELD(IDC_CPF_DRAW_OPTION, kDrawOption, drawOption),
    VLX_FIELD(IDC_CPF_CONVERSION, kConversion, conversion),
    VLX_FIELD(IDC_CPF_COLOR_FILE1, kColorFile1, colorFile1),
    VLX_FIELD(IDC_CPF_COLOR_FILE2, kColorFile2, colorFile2),
};
#undef VLX_FIELD

char* textOf(ProfileTexts& texts, const FieldControl& f) {
  return reinterpret_cast<char*>(&texts) + f.offset;
}

Editor* editorOf(HWND dialog) {
  return reinterpret_cast<Editor*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HINSTANCE libraryInstance() {
  return static_cast<HMODULE>(platform::libraryOf(reinterpret_cast<const void*>(&libraryInstance)));
}

void onInit(HWND dialog, Editor* editor) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(editor));
  ProfileTexts texts = profileTexts(editor->working);
  for (const FieldControl& f : kFields) {
    SendDlgItemMessageA(dialog, f.id, EM_LIMITTEXT, f.size - 1, 0);
    SetDlgItemTextA(dialog, f.id, textOf(texts, f));
  }
  HWND mode = GetDlgItem(dialog, IDC_CPF_COLOR_MODE);
  SendMessageA(mode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("RGB で変換"));
  SendMessageA(mode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("CMYK で変換"));
  SendMessageA(mode, CB_SETCURSEL, texts.cmyk ? 1 : 0, 0);
  SetDlgItemTextA(dialog, IDC_CPF_BUILT_IN, editor->working.fixed ? "組み込み用紙" : "");
  RECT owner{};
  RECT self{};
  HWND parent = GetParent(dialog);
  if (parent && GetWindowRect(parent, &owner) && GetWindowRect(dialog, &self)) {
    // Centred over the owner, but never above or left of the screen.
    int x = owner.left + ((owner.right - owner.left) - (self.right - self.left)) / 2;
    int y = owner.top + ((owner.bottom - owner.top) - (self.bottom - self.top)) / 2;
    SetWindowPos(dialog, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
}

void onOk(HWND dialog, Editor& editor) {
  ProfileTexts texts{};
  for (const FieldControl& f : kFields) GetDlgItemTextA(dialog, f.id, textOf(texts, f), static_cast<int>(f.size));
  texts.cmyk = SendDlgItemMessageA(dialog, IDC_CPF_COLOR_MODE, CB_GETCURSEL, 0, 0) == 1;
  ProfileRefusal refusal = applyProfileTexts(texts, &editor.working);
  if (refusal.field == ProfileField::kNone) {
    EndDialog(dialog, 1);
    return;
  }
  MessageBoxA(dialog, refusal.message, kCaption, MB_OK | MB_ICONERROR);
  for (const FieldControl& f : kFields) {
    if (f.field != refusal.field) continue;
    HWND field = GetDlgItem(dialog, f.id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
  }
}

INT_PTR CALLBACK editorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInit(dialog, reinterpret_cast<Editor*>(lParam));
      return TRUE;
    case WM_COMMAND: {
      Editor* editor = editorOf(dialog);
      if (!editor) return TRUE;
      if (LOWORD(wParam) == IDOK) onOk(dialog, *editor);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace
}  // namespace device

JDEVICE_API int jColorProfileDlg(jHWND owner, ColorProfile* profile) {
  if (!profile) return 0;
  auto* editor = new (std::nothrow) device::Editor{*profile};
  if (!editor) return 0;
  INT_PTR result = DialogBoxParamA(device::libraryInstance(), "J_PROFILEDLG", owner, device::editorProc,
                                   reinterpret_cast<LPARAM>(editor));
  if (result == 1) *profile = editor->working;
  delete editor;
  return result == 1 ? 1 : 0;
}
