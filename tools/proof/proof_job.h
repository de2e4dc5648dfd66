// A job file's dry run for scripts and tests: the job printed through the
// machine's driver with the stream kept in memory, the job's ink against
// the machine's account, and the stream's dot pages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EscDecode.h"
#include "app/jobs/ink_estimate.h"

namespace proof {

struct ProofResult {
  vlx::InkEstimate ink{};
  std::vector<uint8_t> stream;
  std::vector<escp::DotPage> pages;
};

// The drawing library must be open with its printer folder set. False with
// a message when the job cannot be printed or its stream not decoded.
bool proofJob(const char* path, int scale, ProofResult* out, std::string* error);

}  // namespace proof
