// The ink estimate of a job file by a dry run through the machine's driver
// (the drawing library's jPdevProofFile): the stream goes nowhere, the driver
// counts the job's ink into a scratch account, the real account is read as
// it stands.
#pragma once

#include <atomic>

#include "Draw.h"
#include "app/jobs/ink_estimate.h"

namespace vlx {

bool estimateByDryRun(const char* path, const std::atomic<int>& cancel, InkEstimate* out);

// A dry run's record that the flag cancels once set.
jPdevProofRun dryRunCancelledBy(const std::atomic<int>& cancel);

}  // namespace vlx
