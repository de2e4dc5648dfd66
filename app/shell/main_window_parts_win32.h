// What the main window owns besides AppState: its child windows, image
// lists and drawing objects, the split between the lists and the ports the
// job code reaches the controls through. One per main window, made at
// WM_NCCREATE and freed at WM_NCDESTROY; the handlers of the window's
// messages live in one file per concern and share it through this header.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "Base.h"
#include "app/jobs/job_list_view_win32.h"
#include "app/shell/command_state_win32.h"
#include "app/shell/hot_folder_watch_win32.h"
#include "app/shell/main_layout.h"
#include "app/shell/print_worker_host_win32.h"
#include "app/shell/shell_context.h"
#include "app/shell/status_texts_win32.h"

namespace vlx {

constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshPeriod = 10000;
constexpr UINT_PTR kAnimationTimer = 2;
constexpr UINT kAnimationPeriod = 1000;
// A one-shot look at just the files that were still settling (or could not
// be taken yet) when they are due; a little past the due time, so they are.
constexpr UINT_PTR kSettleTimer = 3;
constexpr UINT kSettleMargin = 100;
// Posted by the hot-folder watch: a file appeared in the hot folder.
constexpr UINT kHotFolderChangedMessage = WM_APP + 4;
// No print runs: the panel shows the still printer.
constexpr int kAnimationStopped = -1;

struct MainWindowParts {
  ShellContext* context;
  HWND window;
  HWND toolbar;
  HWND lists[2];
  HWND rightPanel;
  HWND splitter;
  HWND preview;
  HWND status;
  HWND progress;
  HIMAGELIST animationImages;
  HIMAGELIST toolbarImages;
  HIMAGELIST stateImages;
  HBITMAP menuStrip;  // the toolbar artwork the menu icons are cut from
  HBITMAP previewBitmap;
  HBITMAP previewOldBitmap;
  HDC previewDc;
  jMENU menus;
  SplitLayout split;
  int animation;  // kAnimationStopped, or the frame counter of a running print
  Win32JobListView views[2];
  Win32StatusBar statusBar;
  Win32PrintWorkerHost worker;
  char inkNotice[160];  // the auto-printed job's ink warning, kept until the next job starts
  HWND previewTip;      // the preview panel's tooltip: the shown job's ink estimate
  int previewList;      // the list whose selected job the preview shows
  char previewTipText[600];
  // The plug-in's ink dialog is open and holds the printing lock: no job
  // starts until it closes (its first page would wait on the lock).
  bool inkDialogOpen;
  HotFolderWatch* hotFolderWatch;  // null when the folder cannot be watched
};

// main_window_create_win32.cpp
LRESULT onCreate(MainWindowParts* parts);
// Everything the window acquired, released in reverse order.
void releaseWindowObjects(MainWindowParts* parts);

// main_window_layout_win32.cpp
void onSize(MainWindowParts* parts);
void onMinMaxInfo(MINMAXINFO* info);
void onMouseMove(MainWindowParts* parts, int x, int y);
void onLeftButtonDown(MainWindowParts* parts, int x, int y);
void onLeftButtonUp(MainWindowParts* parts);
// Where a list index's view is; -1 for any other window.
int listIndexOfWindow(const MainWindowParts* parts, HWND window);

// main_window_paint_win32.cpp
// The window and every child are drawn anew; the main window leaves its
// background to the children's own painting.
void repaintAll(MainWindowParts* parts);
LRESULT onDrawItem(MainWindowParts* parts, DRAWITEMSTRUCT* item);
LRESULT onMeasureItem(MainWindowParts* parts, MEASUREITEMSTRUCT* item);
void onAnimationTick(MainWindowParts* parts);
// The selected job's thumbnail of a list (or the empty square) into the
// preview bitmap; the caller repaints.
void showPreview(MainWindowParts* parts, int listIndex);

// main_window_worker_win32.cpp
// The refresh: both folders scanned, the next job started when none prints,
// a short re-check scheduled while new files are still settling.
void refreshJobs(MainWindowParts* parts, bool rebuild);
// A worker for the first Waiting job when none runs, with the running
// display.
void startPrinting(MainWindowParts* parts);
// The settle timer set for the earliest file due for a look, or killed.
void scheduleSettleCheck(MainWindowParts* parts);
// The settle timer: the due files looked at (not the folders); a job taken
// is listed and queued at once.
void onSettleCheck(MainWindowParts* parts);
// A file appeared in the hot folder: its first look now.
void onHotFolderChanged(MainWindowParts* parts);
// The print list's state column; with views, both lists as they stand.
void onWorkerStatus(MainWindowParts* parts, bool views);
void onWorkerDone(MainWindowParts* parts);
// Takes (and frees) the worker's notice: it stays in the status bar until
// the next job starts.
void onWorkerNotice(MainWindowParts* parts, char* text);

// main_window_commands_win32.cpp
void onCommand(MainWindowParts* parts, int command, int listIndex);
void onRefreshTimer(MainWindowParts* parts);
LRESULT onNotify(MainWindowParts* parts, NMHDR* header);
void refreshCommandStates(MainWindowParts* parts);
void refreshStatusPart(MainWindowParts* parts, int part, const char* text = nullptr);
int messageBox(MainWindowParts* parts, const char* text, UINT type);

// dialog_commands_win32.cpp
// Opens the dialog of a dialog command; false for any other command.
bool onDialogCommand(MainWindowParts* parts, int command, int listIndex);

// main_window_close_win32.cpp
LRESULT onClose(MainWindowParts* parts);

}  // namespace vlx
