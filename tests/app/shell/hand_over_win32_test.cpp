// A next start's hand-over against a running window in each state it can be
// found in: shown, still hidden while it starts, closing, or hung.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/shell/single_instance_win32.h"

namespace vlx {
namespace {

constexpr char kClass[] = "VLX_HANDOVER_TEST";

enum class State { kShown, kShownLater, kClosing, kHung };

std::atomic<int> g_copies{0};

LRESULT CALLBACK countCopies(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    ++g_copies;
    return 1;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A running instance's window of kClass, on a thread of its own as in
// another process: it pumps its messages until the test ends, except a
// hung one, which stops answering for longer than a hand-over may wait.
class RunningWindow {
 public:
  explicit RunningWindow(State state) {
    thread_ = std::thread([this, state] {
      HWND window = CreateWindowExA(0, kClass, "running", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
      if (state == State::kClosing) SetPropA(window, kClosingProperty, reinterpret_cast<HANDLE>(1));
      if (state == State::kShown || state == State::kHung) ShowWindow(window, SW_SHOWNOACTIVATE);
      ready_ = true;
      if (state == State::kHung) Sleep(6000);
      const DWORD start = GetTickCount();
      MSG message;
      while (!done_) {
        if (state == State::kShownLater && !IsWindowVisible(window) && GetTickCount() - start > 300)
          ShowWindow(window, SW_SHOWNOACTIVATE);
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(10);
      }
      RemovePropA(window, kClosingProperty);
      DestroyWindow(window);
    });
    while (!ready_) Sleep(1);
  }
  ~RunningWindow() {
    done_ = true;
    thread_.join();
  }

 private:
  std::thread thread_;
  std::atomic<bool> ready_{false};
  std::atomic<bool> done_{false};
};

TEST(HandOver, GoesOnlyToAWindowThatRunsAndNeverWaitsWithoutABound) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = countCopies;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClass;
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  struct Case {
    const char* what;
    State state;
    bool handedOver;  // the start ends
    int copies;       // hand-overs the window took
    DWORD boundMs;
  };
  const Case cases[] = {
      {"shown", State::kShown, true, 1, 1000},
      {"shown once started", State::kShownLater, true, 1, 2000},
      {"closing: this start runs on its own", State::kClosing, false, 0, 500},
      {"hung", State::kHung, true, 0, 4500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    g_copies = 0;
    RunningWindow running(c.state);
    const DWORD start = GetTickCount();
    EXPECT_EQ(c.handedOver, handOverToRunningInstance(kClass, "vellox.exe"));
    EXPECT_LT(GetTickCount() - start, c.boundMs);
    if (c.state != State::kHung) {
      EXPECT_EQ(c.copies, g_copies.load());
    }
  }
  EXPECT_FALSE(handOverToRunningInstance(kClass, "vellox.exe")) << "none runs";
  UnregisterClassA(kClass, GetModuleHandleA(nullptr));
}

}  // namespace
}  // namespace vlx
