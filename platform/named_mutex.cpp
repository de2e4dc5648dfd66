// The scoped use of a named mutex, the same on every platform.
#include "platform/named_mutex.h"

namespace platform {

NamedLock::NamedLock(const char* name) : mutex_(openNamedMutex(name)) {
  if (mutex_) lockNamedMutex(mutex_);
}

NamedLock::~NamedLock() {
  if (!mutex_) return;
  unlockNamedMutex(mutex_);
  closeNamedMutex(mutex_);
}

}  // namespace platform
