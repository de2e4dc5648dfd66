// The soft-proof window: one class, its menu, its window procedure and the
// proof run it starts on a thread of its own. It is longer than our files
// usually are because the run's thread and the window share one state (the
// picture being made, the cancel, the bounded wait at close) that a reader
// needs to see in one place; the window's stream handling is next to be
// replaced by a reader of an indexed stream file, and the file is split then.
#include "app/shell/soft_proof_window_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/thread_priority.h"

namespace vlx {
namespace {

// The overview's longer side in cells: about a screen, and a few MB.
constexpr int kOverviewCells = 640;
constexpr int kLineDots = 32;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressMillis = 200;
// How long closing the window waits for a cancelled dry run to end. One
// held up past it (a host that keeps a dialog open) ends on its own thread.
constexpr int kCloseWaitMs = 1000;

constexpr char kTitle[] = "ｿﾌﾄﾌﾟﾙｰﾌ";
constexpr char kFailedText[] = "ｿﾌﾄﾌﾟﾙｰﾌを作成できませんでした。";

struct MenuItem {
  int command;
  const char* text;
};

constexpr MenuItem kViewMenu[] = {
    {kProofFit, "全体表示(&F)"}, {kProofDots, "等倍表示(&1)"}, {0, nullptr}, {kProofClose, "閉じる(&C)"}};
// The eight inks in the order of the printer's planes.
constexpr MenuItem kInkMenu[] = {
    {kProofInkAll, "全ｲﾝｸ合成(&A)"}, {kProofInkAll + 1, "ｼｱﾝ(&C)"},   {kProofInkAll + 2, "ﾏｾﾞﾝﾀ(&M)"},
    {kProofInkAll + 3, "ｲｴﾛｰ(&Y)"},  {kProofInkAll + 4, "ﾌﾞﾗｯｸ(&K)"}, {kProofInkAll + 5, "ﾗｲﾄｼｱﾝ"},
    {kProofInkAll + 6, "ﾗｲﾄﾏｾﾞﾝﾀ"},  {kProofInkAll + 7, "ﾗｲﾄﾌﾞﾗｯｸ"},  {kProofInkAll + 8, "ﾗｲﾄﾗｲﾄﾌﾞﾗｯｸ"}};

template <size_t N>
HMENU popupOf(const MenuItem (&items)[N]) {
  HMENU menu = CreatePopupMenu();
  for (const MenuItem& item : items)
    AppendMenuA(menu, item.text ? MF_STRING : MF_SEPARATOR, static_cast<UINT_PTR>(item.command), item.text);
  return menu;
}

HMENU makeMenu() {
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popupOf(kViewMenu)), "表示(&V)");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popupOf(kInkMenu)), "ｲﾝｸ(&I)");
  return bar;
}

// What the dry run's thread works on: shared, so that a run still held up
// when its window closes can finish without it.
struct ProofWork {
  explicit ProofWork(ProofProducer p) : producer(std::move(p)) {}
  ProofProducer producer;
  std::atomic<int> cancel{0};
  std::atomic<size_t> bytes{0};
  // Written by the thread until it sets done; read after.
  ProofResult result = ProofResult::kFailed;
  ProofPicture picture;
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
};

// A 24-bit top-down DIB of an RGB picture: rows padded to four bytes, BGR.
struct Dib {
  BITMAPINFO info{};
  std::vector<uint8_t> bits;

  void set(int width, int height, const std::vector<uint8_t>& rgb) {
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    bits.assign(stride * height, 0);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const uint8_t* from = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        uint8_t* to = &bits[stride * y + static_cast<size_t>(x) * 3];
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
      }
  }
};

class SoftProofWindow {
 public:
  SoftProofWindow(std::string title, ProofProducer producer)
      : title_(std::move(title)), work_(std::make_shared<ProofWork>(std::move(producer))) {}

  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  SoftProofFacts facts() const {
    SoftProofFacts f;
    f.running = running_;
    if (running_) return f;  // the picture is the worker's until it is done
    f.failed = failed_;
    f.oneToOne = oneToOne_;
    f.ink = ink_;
    f.scrollX = scrollX_;
    f.scrollY = scrollY_;
    f.dotWidth = picture_.dotWidth;
    f.dotHeight = picture_.dotHeight;
    f.overviewScale = picture_.overview.scale;
    return f;
  }

 private:
  void onCreate() {
    status_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSoftProofStatusId)), nullptr, nullptr);
    running_ = true;
    SetTimer(window_, kProgressTimer, kProgressMillis, nullptr);
    worker_ = std::thread([work = work_, window = window_] {
      platform::lowerThisThreadPriority();
      work->result = makeProofPicture(work->producer, work->cancel, &work->bytes, kOverviewCells, &work->picture);
      {
        std::lock_guard<std::mutex> hold(work->lock);
        work->done = true;
      }
      work->ended.notify_all();
      PostMessageA(window, kSoftProofDoneMessage, 0, 0);
    });
    refreshMenu();
    showStatus();
  }

  // Ends the dry run before the window goes: a cancel ends it at its next
  // band or lock slice. The window waits for that within a bound only; a run
  // still held up then ends on its own thread with the state it shares.
  void onDestroy() {
    work_->cancel = 1;
    KillTimer(window_, kProgressTimer);
    if (!worker_.joinable()) return;
    std::unique_lock<std::mutex> hold(work_->lock);
    const bool ended =
        work_->ended.wait_for(hold, std::chrono::milliseconds(kCloseWaitMs), [this] { return work_->done; });
    hold.unlock();
    if (ended)
      worker_.join();
    else
      worker_.detach();
  }

  void onDone() {
    if (worker_.joinable()) worker_.join();
    KillTimer(window_, kProgressTimer);
    running_ = false;
    picture_ = std::move(work_->picture);
    failed_ = work_->result != ProofResult::kDone;
    overviewInk_ = -2;
    refreshMenu();
    updateScrollBars();
    showStatus();
    InvalidateRect(window_, nullptr, TRUE);
  }

  void onCommand(int command) {
    if (command == kProofClose) {
      PostMessageA(window_, WM_CLOSE, 0, 0);
    } else if (command == kProofFit || command == kProofDots) {
      POINT centre{viewWidth() / 2, viewHeight() / 2};
      setZoom(command == kProofDots, centre);
    } else if (command >= kProofInkAll && command <= kProofInkAll + escp::kPlanes) {
      ink_ = command - kProofInkAll - 1;
      refreshMenu();
      InvalidateRect(window_, nullptr, FALSE);
    }
  }

  // Switches between the fitted page and one pixel per dot, keeping the
  // dot under `at` (client co-ordinates) where it was.
  void setZoom(bool oneToOne, POINT at) {
    if (failed_ || running_ || oneToOne == oneToOne_) return;
    if (oneToOne) {
      const ProofRect fit = fitted();
      if (fit.width > 0 && fit.height > 0) {
        const int dotX = static_cast<int>(int64_t{at.x - fit.x} * picture_.dotWidth / fit.width);
        const int dotY = static_cast<int>(int64_t{at.y - fit.y} * picture_.dotHeight / fit.height);
        scrollX_ = dotX - at.x;
        scrollY_ = dotY - at.y;
      }
    }
    oneToOne_ = oneToOne;
    updateScrollBars();
    refreshMenu();
    showStatus();
    InvalidateRect(window_, nullptr, TRUE);
  }

  void scrollTo(int x, int y) {
    const int clampedX = clampScroll(x, picture_.dotWidth, viewWidth());
    const int clampedY = clampScroll(y, picture_.dotHeight, viewHeight());
    if (clampedX == scrollX_ && clampedY == scrollY_) return;
    scrollX_ = clampedX;
    scrollY_ = clampedY;
    updateScrollBars();
    InvalidateRect(window_, nullptr, FALSE);
  }

  void onScroll(int bar, int code) {
    SCROLLINFO info{sizeof info, SIF_ALL};
    GetScrollInfo(window_, bar, &info);
    const bool horizontal = bar == SB_HORZ;
    int at = horizontal ? scrollX_ : scrollY_;
    const int page = horizontal ? viewWidth() : viewHeight();
    switch (code) {
      case SB_LINEUP:
        at -= kLineDots;
        break;
      case SB_LINEDOWN:
        at += kLineDots;
        break;
      case SB_PAGEUP:
        at -= page;
        break;
      case SB_PAGEDOWN:
        at += page;
        break;
      case SB_TOP:
        at = 0;
        break;
      case SB_BOTTOM:
        at = horizontal ? picture_.dotWidth : picture_.dotHeight;
        break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION:
        at = info.nTrackPos;
        break;
      default:
        return;
    }
    if (horizontal)
      scrollTo(at, scrollY_);
    else
      scrollTo(scrollX_, at);
  }

  void updateScrollBars() {
    const bool show = oneToOne_ && !failed_ && !running_;
    scrollX_ = show ? clampScroll(scrollX_, picture_.dotWidth, viewWidth()) : 0;
    scrollY_ = show ? clampScroll(scrollY_, picture_.dotHeight, viewHeight()) : 0;
    // The fitted page needs no scroll bars; one pixel per dot shows both.
    ShowScrollBar(window_, SB_BOTH, show);
    if (!show) return;
    SCROLLINFO h{
        sizeof h, SIF_ALL | SIF_DISABLENOSCROLL, 0, picture_.dotWidth - 1, static_cast<UINT>(viewWidth()), scrollX_, 0};
    SCROLLINFO v{
        sizeof v, SIF_ALL | SIF_DISABLENOSCROLL, 0, picture_.dotHeight - 1, static_cast<UINT>(viewHeight()), scrollY_,
        0};
    SetScrollInfo(window_, SB_HORZ, &h, TRUE);
    SetScrollInfo(window_, SB_VERT, &v, TRUE);
  }

  void onSize() {
    SendMessageA(status_, WM_SIZE, 0, 0);
    updateScrollBars();
    InvalidateRect(window_, nullptr, TRUE);
  }

  void onPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    RECT view{0, 0, viewWidth(), viewHeight()};
    if (running_ || failed_ || picture_.dotWidth <= 0) {
      FillRect(dc, &view, GetSysColorBrush(COLOR_APPWORKSPACE));
    } else if (oneToOne_) {
      paintDots(dc, view);
    } else {
      paintFitted(dc, view);
    }
    EndPaint(window_, &ps);
  }

  void paintFitted(HDC dc, const RECT& view) {
    if (overviewInk_ != ink_) {
      overviewDib_.set(picture_.overview.width, picture_.overview.height, escp::composite(picture_.overview, ink_));
      overviewInk_ = ink_;
    }
    const ProofRect fit = fitted();
    ExcludeClipRect(dc, fit.x, fit.y, fit.x + fit.width, fit.y + fit.height);
    FillRect(dc, &view, GetSysColorBrush(COLOR_APPWORKSPACE));
    SelectClipRgn(dc, nullptr);
    SetStretchBltMode(dc, HALFTONE);
    StretchDIBits(dc, fit.x, fit.y, fit.width, fit.height, 0, 0, picture_.overview.width, picture_.overview.height,
                  overviewDib_.bits.data(), &overviewDib_.info, DIB_RGB_COLORS, SRCCOPY);
  }

  // Only the dots in view are decoded, from the packed stream, each time
  // the view changes.
  void paintDots(HDC dc, const RECT& view) {
    const int w = std::max(0, std::min(viewWidth(), picture_.dotWidth - scrollX_));
    const int h = std::max(0, std::min(viewHeight(), picture_.dotHeight - scrollY_));
    const bool same = band_.x0 == scrollX_ && band_.y0 == scrollY_ && band_.width == w && band_.height == h;
    std::string error;
    if (!same && !escp::decodeBand(picture_.stream.data(), picture_.stream.size(), 0, scrollX_, scrollY_, w, h, &band_,
                                   &error)) {
      band_ = escp::DotBand{};
      FillRect(dc, &view, GetSysColorBrush(COLOR_APPWORKSPACE));
      return;
    }
    if (!same || bandInk_ != ink_) {
      bandDib_.set(w, h, escp::composite(band_, ink_));
      bandInk_ = ink_;
    }
    ExcludeClipRect(dc, 0, 0, w, h);
    FillRect(dc, &view, GetSysColorBrush(COLOR_APPWORKSPACE));
    SelectClipRgn(dc, nullptr);
    if (w > 0 && h > 0)
      SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                        bandDib_.bits.data(), &bandDib_.info, DIB_RGB_COLORS);
  }

  ProofRect fitted() const {
    // A margin round the paper, so that its edge shows.
    constexpr int kMargin = 8;
    ProofRect r = fitInto(picture_.dotWidth, picture_.dotHeight, viewWidth() - 2 * kMargin, viewHeight() - 2 * kMargin);
    r.x += kMargin;
    r.y += kMargin;
    return r;
  }

  int viewWidth() const {
    RECT r{};
    GetClientRect(window_, &r);
    return r.right;
  }
  int viewHeight() const {
    RECT r{}, s{};
    GetClientRect(window_, &r);
    if (status_) GetWindowRect(status_, &s);
    return std::max(0L, r.bottom - (s.bottom - s.top));
  }

  void refreshMenu() {
    HMENU menu = GetMenu(window_);
    const bool ready = !running_ && !failed_;
    EnableMenuItem(menu, kProofFit, MF_BYCOMMAND | (ready ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, kProofDots, MF_BYCOMMAND | (ready ? MF_ENABLED : MF_GRAYED));
    CheckMenuRadioItem(menu, kProofFit, kProofDots, oneToOne_ ? kProofDots : kProofFit, MF_BYCOMMAND);
    CheckMenuRadioItem(menu, kProofInkAll, kProofInkAll + escp::kPlanes, kProofInkAll + 1 + ink_, MF_BYCOMMAND);
  }

  void showStatus() {
    char text[160];
    if (running_) {
      std::snprintf(text, sizeof text, "ﾄﾞｯﾄを作成しています... %u KB",
                    static_cast<unsigned>(work_->bytes.load() / 1024));
    } else if (failed_) {
      std::snprintf(text, sizeof text, "%s", kFailedText);
    } else {
      std::snprintf(text, sizeof text, "%d x %d ﾄﾞｯﾄ  %s  ﾍﾟｰｼﾞ 1/%d", picture_.dotWidth, picture_.dotHeight,
                    oneToOne_ ? "等倍表示" : "全体表示", picture_.pages);
    }
    SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  }

  void onButtonDown(POINT at) {
    if (!oneToOne_) return;
    dragging_ = true;
    dragFrom_ = at;
    dragScrollX_ = scrollX_;
    dragScrollY_ = scrollY_;
    SetCapture(window_);
  }
  void onMouseMove(POINT at) {
    if (dragging_) scrollTo(dragScrollX_ - (at.x - dragFrom_.x), dragScrollY_ - (at.y - dragFrom_.y));
  }
  void onButtonUp() {
    if (!dragging_) return;
    dragging_ = false;
    ReleaseCapture();
  }

  HWND window_ = nullptr;
  HWND status_ = nullptr;
  std::string title_;
  std::shared_ptr<ProofWork> work_;
  std::thread worker_;
  ProofPicture picture_;  // the worker's, taken over when it is done

  bool running_ = false;
  bool failed_ = false;
  bool oneToOne_ = false;
  int ink_ = -1;
  int scrollX_ = 0, scrollY_ = 0;
  bool dragging_ = false;
  POINT dragFrom_{};
  int dragScrollX_ = 0, dragScrollY_ = 0;
  Dib overviewDib_;
  int overviewInk_ = -2;
  escp::DotBand band_;
  Dib bandDib_;
  int bandInk_ = -2;

  friend LRESULT CALLBACK softProofProc(HWND, UINT, WPARAM, LPARAM);
};

LRESULT SoftProofWindow::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      window_ = window;
      onCreate();
      return 0;
    case kSoftProofDoneMessage:
      onDone();
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
      if (oneToOne_) scrollTo(scrollX_, scrollY_ - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * kLineDots / WHEEL_DELTA);
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

HWND openSoftProof(HINSTANCE instance, const char* title, ProofProducer producer) {
  if (!registerClass(instance)) return nullptr;
  const std::string caption = std::string(kTitle) + " - " + (title ? title : "");
  auto self = std::make_unique<SoftProofWindow>(caption, std::move(producer));
  HMENU menu = makeMenu();
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
