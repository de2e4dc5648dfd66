// The colour-profile selection dialog of the drawing library
// (jCol2ProfileSelectDlg): an RGB and a CMYK ICC profile from files on
// disk and one of the four rendering intents.
//
// The choice that is ours: a path may be typed or browsed for; a file is
// taken only when it is a readable ICC profile of the right colour space
// (the checks of jCol2SetupProfile), and a path longer than the block's
// 260-byte field is refused rather than cut, since a cut path names
// another file. Either path may be left empty. OK with a refused entry says
// why and keeps the dialog open; the block changes only on OK.
#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "libs/draw/color_profiles.h"
#include "libs/draw/profile_dialog_ids.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"

namespace jdraw {
namespace {

constexpr char kTitle[] = "ｶﾗｰﾌﾟﾛﾌｧｲﾙ";
constexpr char kTooLong[] = "ﾌｧｲﾙﾊﾟｽが長すぎます（259 ﾊﾞｲﾄまで）。\n%s";
constexpr char kNotRgb[] = "RGB の ICC ﾌﾟﾛﾌｧｲﾙとして読めないﾌｧｲﾙです。\n%s";
constexpr char kNotCmyk[] = "CMYK の ICC ﾌﾟﾛﾌｧｲﾙとして読めないﾌｧｲﾙです。\n%s";
constexpr char kFilter[] = "ICC ﾌﾟﾛﾌｧｲﾙ (*.icc;*.icm)\0*.icc;*.icm\0すべてのﾌｧｲﾙ (*.*)\0*.*\0";
constexpr const char* kIntentNames[] = {"視覚的", "相対的色彩", "彩度", "絶対的色彩"};
// Room for what a user may type or browse, so a long path is seen whole
// and refused instead of cut by the edit.
constexpr int kEntryCapacity = 1024;

struct Field {
  int edit;
  int browse;
  ProfileSpace space;
  const char* refusal;
};

constexpr Field kFields[] = {
    {IDC_PROFILE_RGB, IDC_PROFILE_RGB_BROWSE, ProfileSpace::Rgb, kNotRgb},
    {IDC_PROFILE_CMYK, IDC_PROFILE_CMYK_BROWSE, ProfileSpace::Cmyk, kNotCmyk},
};

HMODULE thisModule() {
  return static_cast<HMODULE>(platform::libraryOf(reinterpret_cast<const void*>(&thisModule)));
}

void say(HWND dialog, const char* format, const char* path) {
  char text[kEntryCapacity + 256];
  std::snprintf(text, sizeof text, format, path);
  MessageBoxA(dialog, text, kTitle, MB_OK | MB_ICONWARNING);
}

// Empty, or a file of the field's colour space whose path fits the block;
// otherwise the user is told why and false is returned.
bool acceptable(HWND dialog, const Field& field, const char* path) {
  if (path[0] == '\0') return true;
  if (std::strlen(path) >= platform::kMaxPath) {
    say(dialog, kTooLong, path);
    return false;
  }
  if (!isIccProfile(path, field.space)) {
    say(dialog, field.refusal, path);
    return false;
  }
  return true;
}

void browse(HWND dialog, const Field& field) {
  // The browser starts in the folder of the current entry, when it has one.
  char current[kEntryCapacity] = "";
  GetDlgItemTextA(dialog, field.edit, current, sizeof current);
  char folder[kEntryCapacity] = "";
  if (!current[0] || !platform::folderPart(current, folder, sizeof folder) || !platform::isFolder(folder))
    folder[0] = '\0';
  char path[kEntryCapacity] = "";
  OPENFILENAMEA open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = dialog;
  open.lpstrFilter = kFilter;
  open.lpstrFile = path;
  open.nMaxFile = sizeof path;
  open.lpstrInitialDir = folder[0] ? folder : nullptr;
  open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameA(&open)) return;
  if (acceptable(dialog, field, path)) SetDlgItemTextA(dialog, field.edit, path);
}

void onInit(HWND dialog, const jProfileBlock& block) {
  for (const Field& field : kFields) SendDlgItemMessageA(dialog, field.edit, EM_LIMITTEXT, kEntryCapacity - 1, 0);
  char path[platform::kMaxPath];
  platform::copyTruncated(path, sizeof path, block.rgbPath);
  SetDlgItemTextA(dialog, IDC_PROFILE_RGB, path);
  platform::copyTruncated(path, sizeof path, block.cmykPath);
  SetDlgItemTextA(dialog, IDC_PROFILE_CMYK, path);
  for (const char* name : kIntentNames)
    SendDlgItemMessageA(dialog, IDC_PROFILE_INTENT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  const int intent = block.intent >= 0 && block.intent <= 3 ? block.intent : 0;
  SendDlgItemMessageA(dialog, IDC_PROFILE_INTENT, CB_SETCURSEL, static_cast<WPARAM>(intent), 0);
}

// Every entry acceptable: the block takes them and the dialog ends with 1.
void onOk(HWND dialog, jProfileBlock* block) {
  char paths[2][kEntryCapacity] = {};
  for (int i = 0; i < 2; ++i) {
    GetDlgItemTextA(dialog, kFields[i].edit, paths[i], kEntryCapacity);
    if (!acceptable(dialog, kFields[i], paths[i])) {
      SetFocus(GetDlgItem(dialog, kFields[i].edit));
      return;
    }
  }
  platform::copyString(block->rgbPath, sizeof block->rgbPath, paths[0]);
  platform::copyString(block->cmykPath, sizeof block->cmykPath, paths[1]);
  const LRESULT intent = SendDlgItemMessageA(dialog, IDC_PROFILE_INTENT, CB_GETCURSEL, 0, 0);
  block->intent = intent >= 0 && intent <= 3 ? static_cast<int32_t>(intent) : 0;
  EndDialog(dialog, 1);
}

INT_PTR CALLBACK profileProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    onInit(dialog, *reinterpret_cast<const jProfileBlock*>(lParam));
    return TRUE;
  }
  auto* block = reinterpret_cast<jProfileBlock*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (message != WM_COMMAND || !block) return FALSE;
  const int id = LOWORD(wParam);
  for (const Field& field : kFields) {
    if (id == field.browse) {
      browse(dialog, field);
      return TRUE;
    }
  }
  if (id == IDOK) {
    onOk(dialog, block);
    return TRUE;
  }
  if (id == IDCANCEL) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace
}  // namespace jdraw

JDRAW_API int jCol2ProfileSelectDlg(jHWND owner, jProfileBlock* block) {
  if (!block) return 0;
  const INT_PTR result = DialogBoxParamA(jdraw::thisModule(), "JCOL2_PROFILE_DLG", owner, jdraw::profileProc,
                                         reinterpret_cast<LPARAM>(block));
  return result == 1 ? 1 : 0;
}
