// What the row pipelines of this process did, for the benchmarks, and the
// switches that tests and benchmarks set: kept apart from the pipeline's
// own rules (the public side is in row_pipeline.h).
#pragma once

#include <atomic>
#include <cstdint>

namespace rx3 {

struct PipelineTally {
  std::atomic<int64_t> helperStrips{0};
  std::atomic<int64_t> callerStrips{0};
  std::atomic<int64_t> madeAgain{0};
  std::atomic<int64_t> waitedNs{0};
  std::atomic<int64_t> keptRows{0};
  std::atomic<int> helperStall{0};  // milliseconds, for tests
};

PipelineTally& pipelineTally();

}  // namespace rx3
