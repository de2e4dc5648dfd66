#include "app/shell/print_worker_host_win32.h"

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "app/shell/status_texts.h"

namespace vlx {
namespace {

// A window thread that does not answer within this time (it is waiting for
// something itself) costs the display one update, never the print.
constexpr UINT kSendTimeout = 1000;

void sendWithTimeout(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (!window) return;
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, w, l, SMTO_NORMAL, kSendTimeout, &result);
}

}  // namespace

void Win32PrintWorkerHost::attach(HWND window, HWND status, HWND progress, const char* caption) {
  window_ = window;
  status_ = status;
  progress_ = progress;
  caption_ = caption ? caption : "";
}

void Win32PrintWorkerHost::requestStatusColumn() {
  PostMessageA(window_, kWorkerStatusMessage, 0, 0);
}

void Win32PrintWorkerHost::requestListViews() {
  PostMessageA(window_, kWorkerStatusMessage, 1, 0);
}

void Win32PrintWorkerHost::showWarning(const char* text) {
  MessageBoxA(window_, text, caption_, MB_OK | MB_ICONWARNING);
}

void Win32PrintWorkerHost::notify(const char* text) {
  const std::size_t length = std::strlen(text);
  char* copy = new char[length + 1];
  std::memcpy(copy, text, length + 1);
  if (!PostMessageA(window_, kWorkerNoticeMessage, 0, reinterpret_cast<LPARAM>(copy))) delete[] copy;
  // The box has no owner, so it holds neither the window nor the queue; one
  // at a time (the status bar and the journal keep every notice).
  static std::atomic<bool> open{false};
  if (open.exchange(true)) return;
  std::string boxText(text);
  std::string caption(caption_);
  std::thread([boxText, caption] {
    MessageBoxA(nullptr, boxText.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    open.store(false);
  }).detach();
}

void Win32PrintWorkerHost::postCompletion() {
  PostMessageA(window_, kWorkerDoneMessage, 0, 0);
}

void Win32PrintWorkerHost::setProgress(int position) {
  sendWithTimeout(progress_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void Win32PrintWorkerHost::setActivityText(const char* text) {
  sendWithTimeout(status_, SB_SETTEXTA, static_cast<WPARAM>(kStatusActivity) | SBT_NOBORDERS,
                  reinterpret_cast<LPARAM>(text ? text : kIdleText));
}

void Win32PrintWorkerHost::pumpOwnQueue() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace vlx
