// The pipelines of the documents printing in this process, one per
// machine state, each with its helper thread until its document ends.
#include <mutex>
#include <new>

#include "driver/raster/row_pipeline.h"

namespace rx3 {
namespace {

struct DocumentPipeline {
  const MachineState* state = nullptr;
  RowPipeline* pipeline = nullptr;
};

// Documents print one at a time per machine state; a few states at once
// at most (a print and a dry run).
constexpr int kDocuments = 8;
std::mutex g_documentsLock;
DocumentPipeline g_documents[kDocuments];

}  // namespace

RowPipeline* documentRowPipeline(const MachineState* state) {
  std::lock_guard<std::mutex> hold(g_documentsLock);
  DocumentPipeline* free = nullptr;
  for (DocumentPipeline& d : g_documents) {
    if (d.state == state) return d.pipeline->broken() ? nullptr : d.pipeline;
    if (!d.state && !free) free = &d;
  }
  if (!free) return nullptr;
  free->pipeline = new (std::nothrow) RowPipeline();
  if (!free->pipeline) return nullptr;
  free->state = state;
  return free->pipeline;
}

void endRowPipeline(const MachineState* state) {
  RowPipeline* pipeline = nullptr;
  {
    std::lock_guard<std::mutex> hold(g_documentsLock);
    for (DocumentPipeline& d : g_documents)
      if (d.state == state) {
        pipeline = d.pipeline;
        d = DocumentPipeline{};
      }
  }
  delete pipeline;
}

}  // namespace rx3
