#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <cerrno>

#include "platform/thread_priority.h"

namespace platform {

// Linux keeps a nice value per thread: the thread id names only this one.
bool lowerThisThreadPriority() {
  const id_t thread = static_cast<id_t>(syscall(SYS_gettid));
  return setpriority(PRIO_PROCESS, thread, 10) == 0;
}

int thisThreadPriority() {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
  return errno == 0 ? nice : 0;
}

void setThisThreadPriority(int priority) {
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), priority);
}

}  // namespace platform
