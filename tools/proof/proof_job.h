// A job file's dry run for scripts and tests: the job printed through the
// machine's driver with the stream kept in a temporary file (removed at the
// end), the job's ink against the machine's account, and the stream's dot
// pages one at a time, so that a job of any size takes the memory of a band
// and, when pictures are asked for, of one page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "EscDecode.h"
#include "app/jobs/ink_estimate.h"

namespace proof {

struct PageSize {
  int dotWidth = 0;
  int dotHeight = 0;
};

struct ProofResult {
  vlx::InkEstimate ink{};
  uint64_t streamBytes = 0;
  std::vector<PageSize> pages;
};

// Takes each page built; false ends the run as a failure.
using TakePage = std::function<bool(size_t index, const escp::DotPage& page)>;

// The drawing library must be open with its printer folder set. The stream
// waits in a temporary file in `scratchFolder`. With a taker, each page is
// built at `scale` and handed over; without, only the pages' sizes are
// measured. False with a message when the job cannot be printed, its stream
// not decoded, or a page is too large to build at that scale.
bool proofJob(const char* path, const char* scratchFolder, int scale, const TakePage& take, ProofResult* out,
              std::string* error);

}  // namespace proof
