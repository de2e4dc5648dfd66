// The ink estimate of a job file by a dry run through the machine's driver
// (the drawing library's proof print): the stream goes nowhere, the driver
// counts the job's ink into a scratch account, the real account is read as
// it stands.
#pragma once

#include <atomic>

#include "app/jobs/ink_estimate.h"

namespace vlx {

bool estimateByDryRun(const char* path, const std::atomic<int>& cancel, InkEstimate* out);

}  // namespace vlx
