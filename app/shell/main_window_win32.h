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

// Child window ids. The progress bar is a child of the status bar.
constexpr int kProgressBarId = 101;
constexpr int kPreviewPanelId = 103;
constexpr int kToolbarId = 110;
constexpr int kUpperListId = 111;
constexpr int kLowerListId = 112;
constexpr int kRightPanelId = 113;
constexpr int kSplitterId = 114;
constexpr int kStatusBarId = 115;

// Registers the class named context.className with the variant's class icon.
bool registerMainWindowClass(HINSTANCE instance, const ShellContext& context);
// Creates the main window (hidden); its creation step opens the drawing
// library and creates the job lists. Null when creation fails.
HWND createMainWindow(HINSTANCE instance, ShellContext* context);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vlx
