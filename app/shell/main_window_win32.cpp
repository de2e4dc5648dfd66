#include "app/shell/main_window_win32.h"

#include "Base.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/job_record.h"
#include "app/shell/drawing_link.h"
#include "app/shell/hand_over.h"
#include "app/shell/preview_buffer.h"

namespace vlx {
namespace {

constexpr char kDrawOpenFailed[] = "DRAW.DLL の初期化に失敗しました。";

ShellContext* contextOf(HWND window) {
  return reinterpret_cast<ShellContext*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void createJobLists(AppState* state) {
  // A list that cannot be made stays empty; nothing is reported.
  state->lists[kPrintList] = createJob();
  state->lists[kPrintedList] = createJob();
}

void releaseJobLists(AppState* state) {
  for (JobRecord*& head : state->lists) {
    destroyChain(head);
    head = nullptr;
  }
}

// The layout that the environment file keeps. When the window is minimised
// its rectangle is meaningless, so the values read at start-up stay.
void storeWindowLayout(HWND window, AppState* state) {
  if (IsIconic(window)) return;
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return;
  state->mainRect[0] = rect.left;
  state->mainRect[1] = rect.top;
  state->mainRect[2] = rect.right;
  state->mainRect[3] = rect.bottom;
}

LRESULT onCreate(HWND window, ShellContext* context) {
  AppState* state = context->state;
  state->mainWindow = window;
  state->document = openDrawingLibrary(window);
  if (state->document == 0) MessageBoxA(window, kDrawOpenFailed, context->caption, MB_OK | MB_ICONWARNING);
  createJobLists(state);
  createPreviewBuffer(state);
  return 0;
}

LRESULT onCopyData(HWND window, ShellContext* context) {
  const int count = rescanAfterHandOver(context);
  SetPropA(window, kHandOverCountProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(count)));
  return 1;
}

// Shutdown, in the order that releases each thing after everything that
// still uses it.
LRESULT onClose(HWND window, ShellContext* context) {
  AppState* state = context->state;
  ShowWindow(window, SW_HIDE);
  storeWindowLayout(window, state);
  {
    JobListLock lock;
    releaseJobLists(state);
  }
  closeDrawingDocument(&state->document);
  freePreviewBuffer(state);
  closeDrawingLibrary();
  jMemCheck();
  DestroyWindow(window);
  return 0;
}

LRESULT onDestroy(HWND window) {
  RemovePropA(window, kHandOverCountProperty);
  PostQuitMessage(0);
  return 0;
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
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  ShellContext* context = contextOf(window);
  if (context == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      return onCreate(window, context);
    case WM_COPYDATA:
      return onCopyData(window, context);
    case WM_CLOSE:
      return onClose(window, context);
    case WM_DESTROY:
      return onDestroy(window);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace vlx
