// The dialogs of the main window. Each runs modally over its owner and
// comes from the program's own templates.
#pragma once

#include <windows.h>

#include "app/dialogs/device_settings.h"
#include "app/shell/app_state.h"

namespace vlx {

// 1 when the user confirmed with OK (the settings were written back into
// the state), 0 when the dialog was cancelled or could not open.
int openEnvironmentDialog(HWND owner, AppState* state);

// Everything known of the first selected job of a list, or that none is
// selected.
int openJobProperties(HWND owner, AppState* state, int listIndex);

// The caption and the version text chosen at start-up, with the variant's
// application icon (the system's when the variant has none).
int openVersionDialog(HWND owner, const char* caption, const char* versionText, const char* iconName);

// The machines of the printer folder; the chosen one becomes PRNNAME.
// Without a machine table nothing is shown. Always 1.
int openDeviceSettings(HWND owner, AppState* state);
// The machines of the printer folder again; "設定" opens the chosen one's
// ink dialog (the plug-in's own). PRNNAME stays. Always 1.
int openInkSettings(HWND owner, AppState* state);
// The dialog over a machine table the caller holds.
int runDeviceSettingsDialog(HWND owner, DeviceSettingsRequest* request);

}  // namespace vlx
