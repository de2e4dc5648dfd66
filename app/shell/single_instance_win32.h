// Only one vellox per window class runs: a second start hands its command
// line to the running window and ends.
#pragma once

#include <windows.h>

namespace vlx {

// The property a main window carries from the moment it starts closing: it
// takes no hand-over any more, and a next start runs on its own.
constexpr char kClosingProperty[] = "vellox.closing";

// Looks for a top-level window of className that is not closing. A visible
// one is restored if minimised, its last active popup (or itself) brought to
// the foreground, and it is sent WM_COPYDATA with commandLine including its
// terminating zero (tag 0, no sender window), waiting a bounded time for a
// hung one. A hidden one (still starting) is waited for, within a bound, to
// show. True when a running instance took over (or holds the class and will
// scan on its own), false when none runs.
bool handOverToRunningInstance(const char* className, const char* commandLine);

}  // namespace vlx
