// The main window of vellox: its class and its window procedure. The window
// procedure only dispatches; each message has a small handler.
#pragma once

#include <windows.h>

#include "app/shell/shell_context.h"

namespace vlx {

constexpr int kMainWindowWidth = 800;
constexpr int kMainWindowHeight = 400;
constexpr char kMainMenuName[] = "VLXS_MENU";
constexpr char kSmallIconName[] = "SMALL";

// Window property holding how many hand-overs from a second start this
// window has served; other processes (tests, tools) read it with GetPropA.
constexpr char kHandOverCountProperty[] = "VlxHandOverCount";

// Registers the class named context.className with the variant's class icon.
bool registerMainWindowClass(HINSTANCE instance, const ShellContext& context);
// Creates the main window (hidden); its creation step opens the drawing
// library and creates the job lists. Null when creation fails.
HWND createMainWindow(HINSTANCE instance, ShellContext* context);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vlx
