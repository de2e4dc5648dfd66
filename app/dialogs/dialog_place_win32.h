// Where a dialog was last closed, kept for the run of the program (never
// saved): a dialog that remembers its place reopens there.
#pragma once

#include <windows.h>

namespace vlx {

struct DialogPlace {
  bool valid;
  RECT rect;  // screen
};

void rememberPlace(HWND dialog, DialogPlace* place);
// Moves the dialog to the remembered place, its size unchanged; false when
// no place was remembered yet.
bool moveToRememberedPlace(HWND dialog, const DialogPlace& place);
// The module whose templates the dialogs use: the program.
HINSTANCE dialogInstance();

}  // namespace vlx
