// "INKDLG": the working account of eight inks, one row each, from the id
// table of ink_dialog_rows.h. The name boxes are owner-drawn: filled with
// the ink's colour and labelled in black, or white on a black ink.
#include <cstring>

#include "Base.h"
#include "driver/ink/ink_dialog_rows.h"
#include "driver/ink/ink_file.h"
#include "driver/machines/dialog_support_win32.h"
#include "driver/resources/rx3_resource.h"

namespace rx3 {
namespace {

DialogPlace g_place;

// Fields may hold five digits; the text read is longer still so that a
// longer entry is seen whole and clamped, never cut into another number.
constexpr int kFieldChars = 12;

InkEntry* inksOf(HWND dialog) {
  return reinterpret_cast<InkEntry*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void showRow(HWND dialog, const InkEntry& ink, const InkRowIds& ids) {
  for (int c = 0; c < kInkColumnCount; ++c)
    setItemInt(dialog, ids.field[c], shownInkValue(ink, static_cast<InkColumn>(c)));
}

void refresh(HWND dialog, const InkEntry* inks) {
  for (int i = 0; i < kInkCount; ++i) showRow(dialog, inks[i], kInkRowIds[i]);
}

void onInit(HWND dialog, InkEntry* inks) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(inks));
  for (const InkRowIds& ids : kInkRowIds)
    for (int id : ids.field) SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kFieldChars - 1, 0);
  SendMessageA(dialog, WM_COMMAND, IDC_REFRESH, 0);
  placeDialog(dialog, &g_place);
}

void onFieldLeft(HWND dialog, InkEntry* inks, int id) {
  InkField field;
  if (!findInkField(id, &field)) return;
  char text[kFieldChars + 1] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  takeInkValue(&inks[field.ink], field.column, text);
  setItemInt(dialog, id, shownInkValue(inks[field.ink], field.column));
}

void drawNameBox(const DRAWITEMSTRUCT& item, const InkEntry& ink) {
  HFONT font = CreateFontA(12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "ＭＳゴシック");
  HDC dc = item.hDC;
  RECT box = item.rcItem;
  int width = box.right - box.left - 3;
  int height = box.bottom - box.top - 3;
  int saved = SaveDC(dc);
  IntersectClipRect(dc, box.left, box.top, box.left + width, box.top + height);
  jRectangle(dc, box.left, box.top, box.left + width, box.top + height, ink.color, ink.color, 0);
  if (font) SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ink.color == 0 ? RGB(255, 255, 255) : RGB(0, 0, 0));
  RECT text = box;
  OffsetRect(&text, 3, 2);
  char name[sizeof ink.name + 1] = {};
  std::memcpy(name, ink.name, sizeof ink.name);
  DrawTextA(dc, name, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  RestoreDC(dc, saved);
  if (font) DeleteObject(font);
}

bool onDrawItem(HWND dialog, const DRAWITEMSTRUCT& item) {
  const InkEntry* inks = inksOf(dialog);
  if (!inks) return false;
  for (int i = 0; i < kInkCount; ++i) {
    if (kInkRowIds[i].nameBox == static_cast<int>(item.CtlID)) {
      drawNameBox(item, inks[i]);
      return true;
    }
  }
  return false;
}

void close(HWND dialog, int result) {
  recordPlace(dialog, &g_place);
  EndDialog(dialog, result);
}

void onCommand(HWND dialog, int id, int notification) {
  InkEntry* inks = inksOf(dialog);
  if (!inks) return;
  if (id == IDOK || id == IDCANCEL) {
    close(dialog, id == IDOK ? 1 : 0);
  } else if (id == IDC_REFRESH) {
    refresh(dialog, inks);
  } else if (id == IDC_INK_COPY_K1) {
    copyFirstInkSettings(inks, kInkCount);
    refresh(dialog, inks);
  } else if (int ink = findInkReset(id); ink >= 0) {
    inks[ink].totalUsed = 0;
    setItemInt(dialog, kInkRowIds[ink].field[static_cast<int>(InkColumn::kUsage)], 0);
  } else if (notification == EN_KILLFOCUS) {
    onFieldLeft(dialog, inks, id);
  }
}

INT_PTR CALLBACK inkProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInit(dialog, reinterpret_cast<InkEntry*>(lParam));
      return TRUE;
    case WM_COMMAND:
      onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DRAWITEM:
      return onDrawItem(dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int runInkDialogWin32(InkEntry* inks, jHWND parent) {
  INT_PTR result = DialogBoxParamA(pluginInstance(), "INKDLG", parent, inkProc, reinterpret_cast<LPARAM>(inks));
  return result == 1 ? 1 : 0;
}

}  // namespace rx3
