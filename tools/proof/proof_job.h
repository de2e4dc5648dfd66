// A job file's dry run for scripts and tests: the job printed through the
// machine's driver with the stream kept in a temporary file (removed at the
// end), the job's ink against the machine's account, and the stream's dot
// pages a row of cells at a time, so that a job of any size takes the memory
// of a band, pictures or not.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "EscDecode.h"
#include "app/jobs/ink_estimate.h"

namespace proof {

using PageSize = escp::PageSize;

struct ProofResult {
  vlx::InkEstimate ink{};
  uint64_t streamBytes = 0;
  std::vector<PageSize> pages;
};

// The drawing library must be open with its printer folder set. The stream
// waits in a temporary file in `scratchFolder`. With a taker, each page is
// handed over at `scale` a row of cells at a time (escp::PageRows), so that
// a page of any size takes the memory of a row; without, only the pages'
// sizes are measured. False with a message when the job cannot be printed,
// its stream not decoded, or a taker ended the run.
bool proofJob(const char* path, const char* scratchFolder, int scale, const escp::PageRowTaker* take, ProofResult* out,
              std::string* error);

}  // namespace proof
