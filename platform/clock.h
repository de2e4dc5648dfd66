// Local time and the calendar clock.
#pragma once

#include <cstdint>

#include "platform/file.h"

namespace platform {

LocalTime localNow();
std::int64_t secondsSinceEpoch();  // for seeding
void sleepMilliseconds(int milliseconds);
// A clock that only moves forward, for time-outs.
std::int64_t monotonicMilliseconds();

}  // namespace platform
