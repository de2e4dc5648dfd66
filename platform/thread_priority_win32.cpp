#include <windows.h>

#include "platform/thread_priority.h"

namespace platform {

bool lowerThisThreadPriority() {
  return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL) != 0;
}

int thisThreadPriority() {
  const int priority = GetThreadPriority(GetCurrentThread());
  return priority == THREAD_PRIORITY_ERROR_RETURN ? THREAD_PRIORITY_NORMAL : priority;
}

void setThisThreadPriority(int priority) {
  SetThreadPriority(GetCurrentThread(), priority);
}

}  // namespace platform
