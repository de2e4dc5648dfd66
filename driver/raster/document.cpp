// Start and end of a document: the densities and ink limit of the
// separation, the colour transform, and the output channel.
#include <cstring>

#include "driver/machines/exports.h"
#include "driver/machines/machine_state.h"
#include "driver/raster/job_frame.h"
#include "driver/raster/page_buffers.h"
#include "driver/raster/page_ink_hold.h"
#include "driver/raster/page_steps.h"
#include "driver/raster/row_pipeline.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace rx3 {
namespace {

constexpr int32_t kLightCyanDensity = 30;
constexpr int32_t kLightMagentaDensity = 30;
constexpr int32_t kLightLightBlackDensity = 17;
constexpr int32_t kLightBlackDensity = 50;
constexpr int32_t kDefaultInkLimit = 157;  // percent; a total limit of 400
// Four inks at full coverage: no profile can sensibly allow more, and the
// separation's sums stay far inside 32 bits.
constexpr int64_t kMaxInkLimitTotal = 4 * 255;

void setSeparationDefaults(MachineState* state) {
  EngineState& engine = state->engine;
  engine.lightCyanDensity = kLightCyanDensity;
  engine.lightMagentaDensity = kLightMagentaDensity;
  engine.lightLightBlackDensity = kLightLightBlackDensity;
  engine.lightBlackDensity = kLightBlackDensity;
  if (state->profile.inkLimit == 0) state->profile.inkLimit = kDefaultInkLimit;
  int64_t total = (static_cast<int64_t>(state->profile.inkLimit) * 255 + 50) / 100;
  if (total < 0) total = 0;
  if (total > kMaxInkLimitTotal) total = kMaxInkLimitTotal;
  engine.inkLimitTotal = static_cast<int32_t>(total);
}

// A fixed text field copied whole; false when it carries no terminator.
bool copyField(char* out, std::size_t capacity, const char* field, std::size_t fieldSize) {
  if (!std::memchr(field, '\0', fieldSize)) return false;
  return platform::copyString(out, capacity, field);
}

// Fills the spool-open block; false when a field of the machine does not
// fit it. madeTempFile tells whether a temporary spool file was created.
bool fillOpenBlock(const jHostJobContext* context, jSplOpenBlock* block, bool* madeTempFile) {
  const DeviceRecord* record = context->device;
  const MachineState* state = record->state;
  std::memset(block, 0, sizeof *block);
  *madeTempFile = false;
  // The host's name field may fill its 64 bytes without a terminator.
  char jobName[sizeof context->documentName + 1] = {};
  std::memcpy(jobName, context->documentName, sizeof context->documentName);
  platform::copyTruncated(block->jobName, sizeof block->jobName, jobName);
  if (!copyField(block->deviceName, sizeof block->deviceName, state->deviceName, sizeof state->deviceName) ||
      !copyField(block->portName, sizeof block->portName, state->portName, sizeof state->portName))
    return false;
  block->spoolMode = state->spoolMode;
  block->one = 1;
  block->spoolLimitMB = state->spoolLimitMB;
  if (state->spoolMode != 1 && state->spoolMode != 2) return true;
  if (record->outputFile[0])
    return copyField(block->spoolPath, sizeof block->spoolPath, record->outputFile, sizeof record->outputFile);
  if (state->driverDirectory[0] && std::memchr(state->driverDirectory, '\0', sizeof state->driverDirectory))
    *madeTempFile = platform::makeTempFile(state->driverDirectory, "SPL", block->spoolPath, sizeof block->spoolPath);
  return true;
}

void openChannel(jHostJobContext* context) {
  DeviceRecord* record = context->device;
  EngineState& engine = record->state->engine;
  engine.printing = 1;
  jSplOpenBlock block;
  bool madeTempFile = false;
  engine.spoolHandle = fillOpenBlock(context, &block, &madeTempFile) ? jSplOpen(&block) : nullptr;
  if (!engine.spoolHandle) {
    if (madeTempFile) platform::deleteFile(block.spoolPath);
    closeChannel(record);
  }
}

}  // namespace

int startDocument(jHostJobContext* context) {
  MachineState* state = context->device->state;
  // A document that was never ended gives its channel and transform back
  // first, so that nothing of it leaks into this one.
  endDocument(context);
  setSeparationDefaults(state);
  state->engine.colorTransform = jPrintCmsSetup(&state->profile);
  if (!state->engine.colorTransform) {
    endDocument(context);
    return 0;
  }
  openChannel(context);
  if (state->engine.printing == 1) return 1;
  endDocument(context);
  return 0;
}

int abandonJob(DeviceRecord* record) {
  MachineState* state = record ? record->state : nullptr;
  if (!state) return 1;
  EngineState& engine = state->engine;
  if (engine.separation) {
    writeAbortTrailer(record);
    holdPageInk(record);
  }
  releasePageBuffers(state);
  endRowPipeline(state);
  settleHeldInk(record, closeChannel(record) == 1);
  if (engine.colorTransform) jColorCmsRelease(engine.colorTransform);
  engine.colorTransform = nullptr;
  return 1;
}

int endDocument(jHostJobContext* context) {
  MachineState* state = context->device->state;
  // The pipeline's helper ends with the document, however it ends.
  endRowPipeline(state);
  const int ended = closeChannel(context->device);
  // Only a page the printer took is charged; one the port lost is not.
  settleHeldInk(context->device, ended == 1);
  if (state->engine.colorTransform) jColorCmsRelease(state->engine.colorTransform);
  state->engine.colorTransform = nullptr;
  return ended;
}

}  // namespace rx3
