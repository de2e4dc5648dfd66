#include "app/shell/single_instance_win32.h"

#include <cstring>

namespace vlx {
namespace {

constexpr UINT kHandOverTimeoutMs = 10000;

}  // namespace

bool handOverToRunningInstance(const char* className, const char* commandLine) {
  HWND running = FindWindowA(className, nullptr);
  if (running == nullptr) return false;
  if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(running));

  const char* text = commandLine != nullptr ? commandLine : "";
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(std::strlen(text) + 1);
  data.lpData = const_cast<char*>(text);
  // A hung instance must not hang this start as well: give up after a while.
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kHandOverTimeoutMs,
                      &answer);
  return true;
}

}  // namespace vlx
