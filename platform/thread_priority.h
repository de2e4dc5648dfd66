// Work that must not slow the window thread or a print down (dry runs)
// lowers its own thread's priority.
#pragma once

namespace platform {

// Lowers the calling thread's scheduling priority; false when the system
// refused (the work then simply runs at the normal priority).
bool lowerThisThreadPriority();
// The calling thread's priority, for a thread it starts to take over:
// Windows starts every new thread at the normal priority.
int thisThreadPriority();
void setThisThreadPriority(int priority);

}  // namespace platform
