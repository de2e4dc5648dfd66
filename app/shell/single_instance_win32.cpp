#include "app/shell/single_instance_win32.h"

#include <cstring>

namespace vlx {
namespace {

// A hung instance must not hang this start as well.
constexpr UINT kHandOverTimeoutMs = 3000;
// How long a window that is not shown yet is given to show.
constexpr DWORD kShowWaitMs = 3000;
constexpr DWORD kLookEveryMs = 50;

struct Search {
  const char* className;
  HWND visible;
  HWND hidden;
};

BOOL CALLBACK lookAt(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  char name[256] = "";
  if (!GetClassNameA(window, name, sizeof name) || lstrcmpA(name, search->className) != 0) return TRUE;
  // A closing instance has hidden its window and stores its state: a hand-over
  // would be lost there, and its scan timers are already gone.
  if (GetPropA(window, kClosingProperty) != nullptr) return TRUE;
  if (IsWindowVisible(window)) {
    search->visible = window;
    return FALSE;
  }
  search->hidden = window;
  return TRUE;
}

Search findInstance(const char* className) {
  Search search{className, nullptr, nullptr};
  EnumWindows(lookAt, reinterpret_cast<LPARAM>(&search));
  return search;
}

}  // namespace

bool handOverToRunningInstance(const char* className, const char* commandLine) {
  Search found = findInstance(className);
  for (const DWORD start = GetTickCount(); !found.visible && found.hidden && GetTickCount() - start < kShowWaitMs;) {
    Sleep(kLookEveryMs);
    found = findInstance(className);
  }
  // One that never showed is starting still: it scans its folders then.
  if (!found.visible) return found.hidden != nullptr;
  HWND running = found.visible;
  // Neither call waits for the running window's thread, which may be hung.
  if (IsIconic(running)) ShowWindowAsync(running, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(running));

  const char* text = commandLine != nullptr ? commandLine : "";
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(std::strlen(text) + 1);
  data.lpData = const_cast<char*>(text);
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT,
                      kHandOverTimeoutMs, &answer);
  // A window gone meanwhile leaves the start to this one; a hung one still
  // holds the queue, and a second instance beside it could print a job twice.
  return IsWindow(running) != 0;
}

}  // namespace vlx
