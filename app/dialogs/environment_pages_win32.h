// The two pages of the environment dialog, modeless child dialogs that edit
// the working copy directly. The base sends each page the command OK (1)
// so that it stores what its controls hold.
#pragma once

#include <windows.h>

#include "app/dialogs/environment_settings.h"

namespace vlx {

enum EnvironmentPage : int { kGeneralPage = 0, kColorPage = 1, kEnvironmentPageCount = 2 };

HWND createEnvironmentPage(HWND base, EnvironmentPage page, EnvironmentCopy* copy);

}  // namespace vlx
