// Only one vellox per window class runs: a second start hands its command
// line to the running window and ends.
#pragma once

#include <windows.h>

namespace vlx {

// Looks for a top-level window of className. When there is one: restores it
// if minimised, brings its last active popup (or itself) to the foreground
// and sends it WM_COPYDATA with commandLine including its terminating zero
// (tag 0, no sender window). True when a running instance took over.
bool handOverToRunningInstance(const char* className, const char* commandLine);

}  // namespace vlx
