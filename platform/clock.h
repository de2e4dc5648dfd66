// Local time and the calendar clock.
#pragma once

#include <cstdint>

#include "platform/file.h"

namespace platform {

LocalTime localNow();
std::int64_t secondsSinceEpoch();  // for seeding
void sleepMilliseconds(int milliseconds);

}  // namespace platform
