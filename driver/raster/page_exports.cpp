// The document and page exports of the plug-in. Each refuses (0) a context
// without an open machine record before any step runs; jPrintEndDoc then
// answers 1, as there is nothing to close, and otherwise 0 when the job did
// not reach its port whole.
#include "SPOOL.h"
#include "driver/machines/exports.h"
#include "driver/machines/machine_state.h"
#include "driver/raster/page_steps.h"

namespace {

bool isOpen(const jHostJobContext* context) {
  return context && context->device && context->device->state;
}

// While an export runs, a port that takes no byte keeps asking the host
// (its yield hook) whether the job is still wanted, so that a cancel ends
// even a send that is blocked.
int askHost(void* data) {
  const auto* context = static_cast<const jHostJobContext*>(data);
  return rx3::progressYield(context, context->device->state->engine.progress);
}

class HostAsked {
 public:
  explicit HostAsked(jHostJobContext* context) : spool_(context->device->state->engine.spoolHandle) {
    if (spool_) jSplSetContinueHook(spool_, &askHost, context);
  }
  ~HostAsked() {
    if (spool_) jSplSetContinueHook(spool_, nullptr, nullptr);  // refused once the channel is closed
  }
  HostAsked(const HostAsked&) = delete;
  HostAsked& operator=(const HostAsked&) = delete;

 private:
  jSPOOL spool_;
};

}  // namespace

extern "C" {

int jPrintStartDoc(jHostJobContext* context) {
  return isOpen(context) ? rx3::startDocument(context) : 0;
}

int jPrintEndDoc(jHostJobContext* context) {
  if (!isOpen(context)) return 1;
  HostAsked asked(context);
  return rx3::endDocument(context);
}

int jPrintGetPageDots(DeviceRecord* record, float x0, float y0, float x1, float y1, int32_t* width, int32_t* height) {
  if (width) *width = 0;
  if (height) *height = 0;
  rx3::DotRect dots;
  if (!record || !record->state || !width || !height ||
      !rx3::toDots(*record, record->state->marginMode, rx3::UnitRect{x0, y0, x1, y1}, &dots))
    return 0;
  *width = dots.x1 - dots.x0;
  *height = dots.y1 - dots.y0;
  return 1;
}

int jPrintStartPage(jHostJobContext* context, float x0, float y0, float x1, float y1) {
  if (!isOpen(context)) return 0;
  HostAsked asked(context);
  return rx3::startPage(context, rx3::UnitRect{x0, y0, x1, y1});
}

int jPrintDrawPage(jHostJobContext* context, float x0, float y0, float x1, float y1) {
  if (!isOpen(context)) return 0;
  HostAsked asked(context);
  return rx3::drawPage(context, rx3::UnitRect{x0, y0, x1, y1});
}

int jPrintEndPage(jHostJobContext* context, int abort) {
  if (!isOpen(context)) return 0;
  HostAsked asked(context);
  return rx3::endPage(context, abort);
}

}  // extern "C"
