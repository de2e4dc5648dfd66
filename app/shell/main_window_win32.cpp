#include "app/shell/main_window_win32.h"

#include <windowsx.h>

#include "app/jobs/folder_scan.h"
#include "app/resources/resource.h"
#include "app/shell/hand_over.h"
#include "app/shell/main_window_parts_win32.h"

namespace vlx {
namespace {

MainWindowParts* partsOf(HWND window) {
  return reinterpret_cast<MainWindowParts*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT onCopyData(MainWindowParts* parts) {
  HWND window = parts->window;
  const int count = rescanAfterHandOver(parts->context);
  // New files are listed after their second look, a second from now.
  scheduleSettleCheck(parts);
  refreshStatusPart(parts, kStatusCounts);
  SetPropA(window, kHandOverCountProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(count)));
  return 1;
}

LRESULT onDestroy(HWND window) {
  RemovePropA(window, kHandOverCountProperty);
  PostQuitMessage(0);
  return 0;
}

// The window itself shows only its background; a paint request is only
// validated. BeginPaint does that for this window alone, where a plain
// validation would also swallow the children's pending paints.
void onPaint(HWND window) {
  PAINTSTRUCT paint{};
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
}

LRESULT onTimer(MainWindowParts* parts, UINT_PTR timer) {
  if (timer == kRefreshTimer) onRefreshTimer(parts);
  if (timer == kAnimationTimer) onAnimationTick(parts);
  if (timer == kSettleTimer) onSettleCheck(parts);
  return 0;
}

LRESULT dispatch(MainWindowParts* parts, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = parts->window;
  switch (message) {
    case WM_CREATE:
      return onCreate(parts);
    case WM_SIZE:
      onSize(parts);
      return 0;
    case WM_GETMINMAXINFO:
      onMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_MOUSEMOVE:
      onMouseMove(parts, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDOWN:
      onLeftButtonDown(parts, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
      onLeftButtonUp(parts);
      return 0;
    case WM_PAINT:
      onPaint(window);
      return 0;
    case WM_DRAWITEM:
      return onDrawItem(parts, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_MEASUREITEM:
      return onMeasureItem(parts, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_TIMER:
      return onTimer(parts, static_cast<UINT_PTR>(wParam));
    case WM_COMMAND:
      onCommand(parts, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return onNotify(parts, reinterpret_cast<NMHDR*>(lParam));
    case WM_COPYDATA:
      return onCopyData(parts);
    case kWorkerStatusMessage:
      onWorkerStatus(parts, wParam == 1);
      return 0;
    case kWorkerDoneMessage:
      onWorkerDone(parts);
      return 0;
    case kHotFolderChangedMessage:
      onHotFolderChanged(parts);
      return 0;
    case kWorkerNoticeMessage:
      onWorkerNotice(parts, reinterpret_cast<char*>(lParam));
      return 0;
    case WM_CLOSE:
      return onClose(parts);
    case WM_DESTROY:
      return onDestroy(window);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

bool registerMainWindowClass(HINSTANCE instance, const ShellContext& context) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = 0;
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, context.iconName);
  windowClass.hIconSm = LoadIconA(instance, kSmallIconName);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  windowClass.lpszMenuName = kMainMenuName;
  windowClass.lpszClassName = context.className;
  return RegisterClassExA(&windowClass) != 0;
}

HWND createMainWindow(HINSTANCE instance, ShellContext* context) {
  return CreateWindowExA(WS_EX_APPWINDOW, context->className, context->caption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                         CW_USEDEFAULT, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, context);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* parts = new MainWindowParts{};
    parts->context = static_cast<ShellContext*>(create->lpCreateParams);
    parts->window = window;
    parts->animation = kAnimationStopped;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(parts));
  }
  MainWindowParts* parts = partsOf(window);
  if (message == WM_NCDESTROY && parts) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    delete parts->hotFolderWatch;  // its thread ends within its wait
    delete parts;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (parts == nullptr || parts->context == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return dispatch(parts, message, wParam, lParam);
}

}  // namespace vlx
