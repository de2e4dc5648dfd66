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

double monotonicSeconds() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double processSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) * 1e-7;
}

std::int64_t threadProcessorTicks() {
  // Cycles, counted exactly (the thread times of the system move in steps
  // of a timer tick, far coarser than a row's work).
  ULONG64 cycles = 0;
  return QueryThreadCycleTime(GetCurrentThread(), &cycles) ? static_cast<std::int64_t>(cycles) : 0;
}

}  // namespace platform
