#include "app/dialogs/dialog_place_win32.h"

namespace vlx {

void rememberPlace(HWND dialog, DialogPlace* place) {
  if (!place || !IsWindow(dialog) || IsIconic(dialog)) return;
  RECT rect{};
  if (!GetWindowRect(dialog, &rect)) return;
  place->rect = rect;
  place->valid = true;
}

bool moveToRememberedPlace(HWND dialog, const DialogPlace& place) {
  if (!place.valid) return false;
  SetWindowPos(dialog, nullptr, place.rect.left, place.rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

HINSTANCE dialogInstance() {
  return GetModuleHandleA(nullptr);
}

}  // namespace vlx
