// Work that must not slow the window thread or a print down (dry runs)
// lowers its own thread's priority.
#pragma once

namespace platform {

// Lowers the calling thread's scheduling priority; false when the system
// refused (the work then simply runs at the normal priority).
bool lowerThisThreadPriority();

}  // namespace platform
