// Local time and the calendar clock.
#pragma once

#include <cstdint>

#include "platform/file.h"

namespace platform {

LocalTime localNow();
std::int64_t secondsSinceEpoch();  // for seeding
void sleepMilliseconds(int milliseconds);
// A clock that only moves forward (not the calendar), for time-outs and
// waits; milliseconds from an arbitrary start.
std::int64_t monotonicMilliseconds();
// The same clock in seconds at its finest resolution, for measuring.
double monotonicSeconds();
// Processor seconds used so far by every thread of this process.
double processSeconds();
// Processor time used so far by the calling thread, in units of the
// system's choosing (nanoseconds or cycles): only for shares of it. Time
// the thread spends descheduled is not in it. Always 0 where the system
// cannot count a thread's time (some compatibility layers).
std::int64_t threadProcessorTicks();

}  // namespace platform
