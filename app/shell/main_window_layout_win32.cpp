// The main window's layout on every size change, its minimum size, and the
// splitter bar between the two lists, dragged with the mouse.
#include <windows.h>

#include <commctrl.h>

#include "app/shell/main_window_parts_win32.h"

namespace vlx {
namespace {

constexpr char kSplitterCursor[] = "SEPA_LR";

int heightOfWindow(HWND window) {
  RECT rect{};
  if (!window || !GetWindowRect(window, &rect)) return 0;
  return rect.bottom - rect.top;
}

void place(HWND window, const Rect& r) {
  if (window) MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

void placeProgressBar(MainWindowParts* parts) {
  RECT part{};
  if (!parts->progress || !SendMessageA(parts->status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part))) return;
  place(parts->progress, progressBarRect({part.left, part.top, part.right, part.bottom}));
}

void showSplitterCursor(MainWindowParts* parts) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parts->window, GWLP_HINSTANCE));
  SetCursor(LoadCursorA(instance, kSplitterCursor));
}

// The confinement of a drag in client heights: between the toolbar and the
// status bar, as the cursor is held on the screen.
int clampToDragRoom(MainWindowParts* parts, int y) {
  RECT client{};
  GetClientRect(parts->window, &client);
  const int top = heightOfWindow(parts->toolbar) + 1;
  const int bottom = client.bottom - heightOfWindow(parts->status);
  if (y > bottom) y = bottom;
  if (y < top) y = top;
  return y;
}

}  // namespace

void onSize(MainWindowParts* parts) {
  // A minimised window has a client area of 0 x 0: a toolbar sized to width
  // 0 wraps every button onto its own row, and the split would be cut to
  // nothing. The layout waits for the restore.
  RECT current{};
  GetClientRect(parts->window, &current);
  if (IsIconic(parts->window) || current.right <= 0 || current.bottom <= 0) return;
  // The bars size themselves first; the rest is laid out between them.
  if (parts->status) SendMessageA(parts->status, WM_SIZE, 0, 0);
  if (parts->toolbar) SendMessageA(parts->toolbar, TB_AUTOSIZE, 0, 0);
  placeProgressBar(parts);
  RECT client{};
  GetClientRect(parts->window, &client);
  LayoutInput input{};
  input.clientWidth = client.right;
  input.clientHeight = client.bottom;
  input.toolbarHeight = heightOfWindow(parts->toolbar);
  input.statusHeight = heightOfWindow(parts->status);
  input.savedListRect = parts->context->state->listRect;
  const MainLayout layout = layoutMainWindow(input, &parts->split);
  place(parts->lists[kPrintList], layout.upperList);
  place(parts->lists[kPrintedList], layout.lowerList);
  place(parts->splitter, layout.splitter);
  place(parts->rightPanel, layout.rightPanel);
  place(parts->preview, layout.previewPanel);
  repaintAll(parts);
}

void onMinMaxInfo(MINMAXINFO* info) {
  if (!info) return;
  info->ptMinTrackSize.x = kMinTrackWidth;
  info->ptMinTrackSize.y = kMinTrackHeight;
}

void onMouseMove(MainWindowParts* parts, int x, int y) {
  if (parts->split.state == kSplitterIdle) {
    if (insideSplitter(parts->split, x, y)) showSplitterCursor(parts);
    return;
  }
  if (parts->split.state != kSplitterDragging) return;
  // The cursor is confined while dragging; a position from elsewhere (a
  // remote session, a posted message) must not turn a list inside out.
  dragSplitter(&parts->split, clampToDragRoom(parts, y));
  RECT client{};
  GetClientRect(parts->window, &client);
  PostMessageA(parts->window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

void onLeftButtonDown(MainWindowParts* parts, int x, int y) {
  if (parts->split.state != kSplitterIdle || !insideSplitter(parts->split, x, y)) return;
  RECT window{}, toolbar{}, status{};
  GetWindowRect(parts->window, &window);
  GetWindowRect(parts->toolbar, &toolbar);
  GetWindowRect(parts->status, &status);
  const Rect room = dragConfinement({window.left, window.top, window.right, window.bottom}, toolbar.bottom, status.top);
  const RECT confinement{room.left, room.top, room.right, room.bottom};
  ClipCursor(&confinement);
  SetCapture(parts->window);
  showSplitterCursor(parts);
  parts->split.state = kSplitterDragging;
}

void onLeftButtonUp(MainWindowParts* parts) {
  if (parts->split.state != kSplitterDragging) return;
  ReleaseCapture();
  ClipCursor(nullptr);
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  parts->split.state = kSplitterIdle;
}

int listIndexOfWindow(const MainWindowParts* parts, HWND window) {
  if (window && window == parts->lists[kPrintList]) return kPrintList;
  if (window && window == parts->lists[kPrintedList]) return kPrintedList;
  return -1;
}

}  // namespace vlx
