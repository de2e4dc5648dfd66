#include "driver/raster/pipeline_tally.h"

#include <thread>

#include "driver/raster/row_pipeline.h"

namespace rx3 {
namespace {

std::atomic<bool>& allowedFlag() {
  static std::atomic<bool> allowed{std::thread::hardware_concurrency() > 1};
  return allowed;
}

}  // namespace

PipelineTally& pipelineTally() {
  static PipelineTally tally;
  return tally;
}

void allowRowPipeline(bool allowed) {
  allowedFlag() = allowed;
}

bool rowPipelineAllowed() {
  return allowedFlag();
}

PipelineCounters pipelineCounters() {
  const PipelineTally& t = pipelineTally();
  return PipelineCounters{t.helperStrips.load(), t.callerStrips.load(), t.madeAgain.load(), t.waitedNs.load(),
                          t.keptRows.load()};
}

void countRowsMadeAlone(int32_t rows) {
  pipelineTally().keptRows.fetch_add(rows, std::memory_order_relaxed);
}

void stallPipelineHelper(int milliseconds) {
  pipelineTally().helperStall = milliseconds;
}

}  // namespace rx3
