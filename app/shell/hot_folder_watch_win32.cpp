#include "app/shell/hot_folder_watch_win32.h"

#include <system_error>

namespace vlx {
namespace {

// The longest single wait; the stop event ends it sooner.
constexpr DWORD kWaitMilliseconds = 1000;

}  // namespace

HotFolderWatch* HotFolderWatch::start(HWND window, UINT message, const char* folder) {
  if (!window || !folder || !folder[0]) return nullptr;
  HANDLE change = FindFirstChangeNotificationA(folder, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  if (change == INVALID_HANDLE_VALUE) return nullptr;
  HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!stop) {
    FindCloseChangeNotification(change);
    return nullptr;
  }
  auto* watch = new HotFolderWatch(window, message, change, stop);
  try {
    watch->thread_ = std::thread([watch] { watch->run(); });
  } catch (const std::system_error&) {
    delete watch;
    return nullptr;
  }
  return watch;
}

HotFolderWatch::HotFolderWatch(HWND window, UINT message, HANDLE change, HANDLE stop)
    : window_(window), message_(message), change_(change), stop_(stop) {}

HotFolderWatch::~HotFolderWatch() {
  SetEvent(stop_);
  if (thread_.joinable()) thread_.join();
  FindCloseChangeNotification(change_);
  CloseHandle(stop_);
}

void HotFolderWatch::run() {
  const HANDLE handles[2] = {stop_, change_};
  for (;;) {
    const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, kWaitMilliseconds);
    if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) return;
    if (woken != WAIT_OBJECT_0 + 1) continue;  // the time-out: look at the stop event again
    if (!posted_.exchange(true) && !PostMessageA(window_, message_, 0, 0)) posted_.store(false);
    if (!FindNextChangeNotification(change_)) return;
  }
}

}  // namespace vlx
