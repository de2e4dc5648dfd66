// The main window's commands whose work is not built yet: the dialogs.
// Each does the nearest honest thing now and reports that nothing was done
// (0), so the window never shows a change that did not happen. The comment
// at each definition names the work that fills it.
#pragma once

#include "app/shell/app_state.h"

namespace vlx::pending {

int openVersionDialog(AppState* state);
int openDeviceSettings(AppState* state);
int openJobProperties(AppState* state, int listIndex);
// 1 when the user changed the settings.
int openEnvironmentDialog(AppState* state);

}  // namespace vlx::pending
