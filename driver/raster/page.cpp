// Start and end of a page: its dot rectangle, its buffers, the host's
// progress display, and the frame around its raster.
#include "Base.h"
#include "driver/machines/machine_state.h"
#include "driver/raster/job_frame.h"
#include "driver/raster/page_buffers.h"
#include "driver/raster/page_ink_hold.h"
#include "driver/raster/page_steps.h"

namespace rx3 {

void* progressBegin(const jHostJobContext* context) {
  const jProgressHooks* hooks = context->hooks;
  return hooks && hooks->begin ? hooks->begin(context->owner) : nullptr;
}

void progressStep(const jHostJobContext* context, void* progress, int position, const char* text) {
  const jProgressHooks* hooks = context->hooks;
  if (hooks && hooks->step) hooks->step(progress, position, text);
}

void progressEnd(const jHostJobContext* context, void* progress) {
  const jProgressHooks* hooks = context->hooks;
  if (hooks && hooks->end) hooks->end(progress);
}

int progressYield(const jHostJobContext* context, void* progress) {
  const jProgressHooks* hooks = context->hooks;
  return hooks && hooks->yield ? hooks->yield(progress) : 1;
}

int startPage(jHostJobContext* context, UnitRect page) {
  DeviceRecord* record = context->device;
  MachineState* state = record->state;
  EngineState& engine = state->engine;
  DotRect dots;
  if (!toDots(*record, state->marginMode, page, &dots)) return 0;
  // Buffers of a page that was never ended are given back before new ones.
  releasePageBuffers(state);
  if (!setupPageBuffers(state, dots.x1 - dots.x0, dots.y1 - dots.y0)) return 0;
  engine.pageRect[0] = dots.x0;
  engine.pageRect[1] = dots.y0;
  engine.pageRect[2] = dots.x1;
  engine.pageRect[3] = dots.y1;
  engine.currentLine = 0;
  engine.progress = progressBegin(context);
  progressStep(context, engine.progress, 0, "印刷中...");
  if (writeJobHeader(record) == 1) return 1;
  // The page never started: its progress display is ended, but nothing of
  // it is accounted and no trailer follows a header that did not go out.
  releasePageBuffers(state);
  endPage(context, 1);
  return 0;
}

int endPage(jHostJobContext* context, int abort) {
  DeviceRecord* record = context->device;
  MachineState* state = record->state;
  EngineState& engine = state->engine;
  // A trailer closes the header of an open page; without one (its start
  // failed or it was already ended) a trailer would stand alone in the job.
  const bool pageOpen = engine.separation != nullptr;
  int result = 0;
  if (abort == 1) {
    progressStep(context, engine.progress, -1, "ｼﾞｮﾌﾞを中止しています。");
    if (pageOpen) result = writeAbortTrailer(record);
    // The job was aborted: nothing more of this document goes out.
    engine.printing = 0;
  } else {
    progressStep(context, engine.progress, -1, "ｼﾞｮﾌﾞを終了しています。");
    if (pageOpen) result = writePageTrailer(record);
  }
  if (engine.progress) {
    progressStep(context, engine.progress, 100, nullptr);
    progressEnd(context, engine.progress);
    engine.progress = nullptr;
  }
  // Held once, for the page that was open: a second end of it neither adds
  // its volumes again nor overwrites its last-page volumes with zeros. The
  // account is charged when the document's channel ended whole.
  if (pageOpen) holdPageInk(record);
  for (uint64_t& ink : engine.pageInk) ink = 0;
  releasePageBuffers(state);
  return result;
}

}  // namespace rx3
