#include <windows.h>

#include "platform/thread_priority.h"

namespace platform {

bool lowerThisThreadPriority() {
  return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL) != 0;
}

}  // namespace platform
