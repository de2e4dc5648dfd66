// A second start of vellox hands over to the running instance, which then
// looks for new jobs at once instead of waiting for the next timer tick.
#pragma once

#include "app/shell/shell_context.h"

namespace vlx {

// Runs the rescan that a hand-over asks for and counts it in
// context->handOverRescans; returns the new count. The data sent by the
// second instance is not used.
int rescanAfterHandOver(ShellContext* context);

}  // namespace vlx
