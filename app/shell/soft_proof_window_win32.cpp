// The soft-proof window's life and messages: its class, its creation with the
// dry run it starts, the run's end, and its close, which ends the run within
// a bound. Menu, painting and scrolling are in the soft_proof_*_win32 files
// beside this one.
#include "app/shell/soft_proof_window_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "app/shell/soft_proof_parts_win32.h"

namespace vlx {
namespace {

// The overview's longer side in cells: the cells' side is a power of two,
// so the longer side ends between half of this and this: at least a
// screen's worth, and at most 32 MB of cells.
constexpr int kOverviewCells = 1024;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressMillis = 200;
// How long closing the window waits for a cancelled dry run to end. One
// held up past it (a host that keeps a dialog open) ends on its own thread.
constexpr int kCloseWaitMs = 1000;

constexpr char kTitle[] = "ｿﾌﾄﾌﾟﾙｰﾌ";

}  // namespace

SoftProofFacts SoftProofWindow::facts() const {
  SoftProofFacts f;
  f.running = running_;
  if (running_) return f;  // the picture is the run's until it is done
  f.failed = failed_;
  f.oneToOne = oneToOne_;
  f.ink = ink_;
  f.scrollX = scrollX_;
  f.scrollY = scrollY_;
  f.dotWidth = picture_.dotWidth;
  f.dotHeight = picture_.dotHeight;
  f.overviewScale = picture_.overview.scale;
  f.page = picture_.page;
  f.pages = picture_.pages;
  return f;
}

void SoftProofWindow::onCreate() {
  status_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSoftProofStatusId)), nullptr, nullptr);
  running_ = true;
  SetTimer(window_, kProgressTimer, kProgressMillis, nullptr);
  run_ = std::make_unique<ProofRun>(std::move(producer_), scratchFolder_, kOverviewCells,
                                    [window = window_] { PostMessageA(window, kSoftProofDoneMessage, 0, 0); });
  refreshMenu();
  showStatus();
}

// Ends the dry run before the window goes: a cancel ends it at its next band
// or lock slice. The window waits for that within a bound only.
void SoftProofWindow::onDestroy() {
  KillTimer(window_, kProgressTimer);
  if (run_) run_->stop(kCloseWaitMs);
}

void SoftProofWindow::onDone() {
  KillTimer(window_, kProgressTimer);
  running_ = false;
  failed_ = run_->finish(&picture_) != ProofResult::kDone;
  overviewInk_ = -2;
  refreshMenu();
  updateScrollBars();
  showStatus();
  InvalidateRect(window_, nullptr, TRUE);
}

// Another page: its overview is summed from its part of the stream, and the
// view starts at its top left.
void SoftProofWindow::showPage(int page) {
  if (running_ || failed_ || page == picture_.page || !showProofPage(&picture_, page, kOverviewCells)) return;
  band_ = escp::DotBand{};
  overviewInk_ = bandInk_ = -2;
  scrollX_ = scrollY_ = 0;
  updateScrollBars();
  refreshMenu();
  showStatus();
  InvalidateRect(window_, nullptr, TRUE);
}

void SoftProofWindow::onSize() {
  SendMessageA(status_, WM_SIZE, 0, 0);
  updateScrollBars();
  InvalidateRect(window_, nullptr, TRUE);
}

LRESULT SoftProofWindow::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      window_ = window;
      onCreate();
      return 0;
    case kSoftProofDoneMessage:
      if (running_) onDone();
      return 0;
    case WM_TIMER:
      if (wParam == kProgressTimer && running_) showStatus();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam));
      return 0;
    case WM_SIZE:
      onSize();
      return 0;
    case WM_PAINT:
      onPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // painting covers the whole view
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (oneToOne_) onScroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      if (oneToOne_) scrollTo(scrollX_, scrollY_ - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * kProofLineDots / WHEEL_DELTA);
      return 0;
    case WM_LBUTTONDOWN:
      onButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_MOUSEMOVE:
      onMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (message == WM_LBUTTONUP || reinterpret_cast<HWND>(lParam) != window_) onButtonUp();
      return 0;
    case WM_LBUTTONDBLCLK:
      // Double-click: one pixel per dot at that dot, or back to the page.
      setZoom(!oneToOne_, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_DESTROY:
      onDestroy();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

namespace {

LRESULT CALLBACK softProofProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    // The window takes its state over from the opener here.
    auto* owner =
        static_cast<std::unique_ptr<SoftProofWindow>*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner->release()));
  }
  auto* self = reinterpret_cast<SoftProofWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    delete self;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return self ? self->handle(window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

bool registerClass(HINSTANCE instance) {
  WNDCLASSEXA existing{sizeof existing};
  if (GetClassInfoExA(instance, kSoftProofClass, &existing)) return true;
  WNDCLASSEXA wc{sizeof wc};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = softProofProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconA(instance, "SMALL");
  wc.lpszClassName = kSoftProofClass;
  return RegisterClassExA(&wc) != 0;
}

BOOL CALLBACK collectSoftProof(HWND window, LPARAM found) {
  char name[32] = "";
  if (GetClassNameA(window, name, sizeof name) && std::string(name) == kSoftProofClass)
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

}  // namespace

HWND openSoftProof(HINSTANCE instance, const char* title, ProofProducer producer, const char* scratchFolder) {
  if (!registerClass(instance)) return nullptr;
  const std::string caption = std::string(kTitle) + " - " + (title ? title : "");
  auto self = std::make_unique<SoftProofWindow>(caption, std::move(producer), scratchFolder ? scratchFolder : "");
  HMENU menu = makeSoftProofMenu();
  HWND window = CreateWindowExA(0, kSoftProofClass, caption.c_str(),
                                WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                CW_USEDEFAULT, 720, 560, nullptr, menu, instance, &self);
  if (!window) {
    if (self) DestroyMenu(menu);  // never reached the window
    return nullptr;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  return window;
}

void closeSoftProofs() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), collectSoftProof, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) DestroyWindow(window);
}

bool softProofFacts(HWND window, SoftProofFacts* out) {
  char name[32] = "";
  if (!IsWindow(window) || !GetClassNameA(window, name, sizeof name) || std::string(name) != kSoftProofClass)
    return false;
  auto* self = reinterpret_cast<SoftProofWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return false;
  *out = self->facts();
  return true;
}

}  // namespace vlx
