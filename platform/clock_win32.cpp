// Local time and sleeping on Windows.
#include <windows.h>

#include <ctime>

#include "platform/clock.h"

namespace platform {

LocalTime localNow() {
  SYSTEMTIME local;
  GetLocalTime(&local);
  return LocalTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

std::int64_t secondsSinceEpoch() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

void sleepMilliseconds(int milliseconds) {
  if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

std::int64_t monotonicMilliseconds() {
  return static_cast<std::int64_t>(GetTickCount64());
}

}  // namespace platform
