#include "driver/machines/dialog_support_win32.h"

#include <cstdio>

#include "platform/module.h"

namespace rx3 {

HINSTANCE pluginInstance() {
  return static_cast<HMODULE>(platform::libraryOf(reinterpret_cast<const void*>(&pluginInstance)));
}

void placeDialog(HWND dialog, DialogPlace* place) {
  if (!place->recorded) recordPlace(dialog, place);
  const RECT& r = place->rect;
  MoveWindow(dialog, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

void recordPlace(HWND dialog, DialogPlace* place) {
  if (GetWindowRect(dialog, &place->rect)) place->recorded = true;
}

void setItemInt(HWND dialog, int id, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  SetDlgItemTextA(dialog, id, text);
}

int messageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxA(owner, text, caption, type);
}

}  // namespace rx3
