// What the plug-in's dialogs share: their module, the screen place each
// dialog keeps for the life of the process, and control text helpers.
#pragma once

#include <windows.h>

#include "PrintDriver.h"

namespace rx3 {

HINSTANCE pluginInstance();

// A dialog's last screen rectangle, recorded the first time it opens and at
// every close; every opening moves the dialog there.
struct DialogPlace {
  RECT rect;
  bool recorded;
};
void placeDialog(HWND dialog, DialogPlace* place);
void recordPlace(HWND dialog, DialogPlace* place);

void setItemInt(HWND dialog, int id, int value);
// The caption of the plug-in's message boxes is fixed by each message.
int messageBox(HWND owner, const char* text, const char* caption, UINT type);

// The dialogs' procedures, registered with the core at module attach.
int runPrinterSetupDialogWin32(DeviceRecord* copy, jHWND parent);
void runPortDialogWin32(DeviceRecord* copy, HWND parent);
int runInkDialogWin32(InkEntry* inks, jHWND parent);

}  // namespace rx3
