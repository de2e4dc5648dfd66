// Local time and sleeping on POSIX.
#include <time.h>

#include <cerrno>
#include <ctime>

#include "platform/clock.h"

namespace platform {

LocalTime localNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::int64_t secondsSinceEpoch() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

void sleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  struct timespec left = {milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
  while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

std::int64_t monotonicMilliseconds() {
  struct timespec now {};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

double monotonicSeconds() {
  struct timespec now {};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double processSeconds() {
  struct timespec used {};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
  return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) * 1e-9;
}

std::int64_t threadProcessorTicks() {
  struct timespec used {};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
  return static_cast<std::int64_t>(used.tv_sec) * 1000000000 + used.tv_nsec;
}

}  // namespace platform
