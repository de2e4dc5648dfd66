// Centring a window over its owner, or over the work area when it has none.
#include <windows.h>

#include "BaseD.h"

int jmtSetWinCenter(jHWND window) {
  if (!window || !IsWindow(window)) return 0;
  RECT own;
  if (!GetWindowRect(window, &own)) return 0;
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;

  // A child window is centred in its parent's client area.
  if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
    HWND parent = GetParent(window);
    RECT client;
    if (!parent || !GetClientRect(parent, &client)) return 0;
    return SetWindowPos(window, nullptr, (client.right - width) / 2, (client.bottom - height) / 2, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 1
               : 0;
  }

  HWND owner = GetWindow(window, GW_OWNER);
  HMONITOR monitor = MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return 0;
  const RECT work = info.rcWork;
  RECT around = work;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);

  int left = around.left + ((around.right - around.left) - width) / 2;
  int top = around.top + ((around.bottom - around.top) - height) / 2;
  // Keep the whole window (its top-left first) on the work area.
  if (left + width > work.right) left = work.right - width;
  if (top + height > work.bottom) top = work.bottom - height;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  return SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 1 : 0;
}
