// The warning before printing when a job would take an ink below its
// warning threshold or past what remains. Manual mode asks before the
// print; auto-print mode never waits on the user and shows the warning of
// the job that prints in the status bar. A job whose estimate is not made
// yet prints without a warning.
#pragma once

#include <cstddef>

#include "app/shell/app_state.h"

namespace vlx {

// The question for a print request (the selected jobs of the print list, or
// all of them when none is selected): that of the first job that warns.
// Empty when none does.
void inkQuestionForRequest(AppState* state, char* out, std::size_t capacity);
// The status-bar notice of the job that prints now; empty when it fits.
void inkNoticeForPrintingJob(AppState* state, char* out, std::size_t capacity);

}  // namespace vlx
