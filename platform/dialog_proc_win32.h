// The procedure of a dialog that does nothing but start with its creator's
// record (the parameter of DialogBoxParam) and hand on its commands: the
// message switch is written once, the dialogs supply their two handlers.
#pragma once

#include <windows.h>

namespace platform {

template <class Context, void (*onInit)(HWND, Context*), void (*onCommand)(HWND dialog, int id, int notification)>
INT_PTR CALLBACK commandDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInit(dialog, reinterpret_cast<Context*>(lParam));
      return TRUE;
    case WM_COMMAND:
      onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace platform
