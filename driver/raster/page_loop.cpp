// The band loop of a page: clip, render a chunk of rows, convert, halftone
// and write each row as a raster line (with a second thread sharing the
// steps when the machine has one), skip the blank lines above and below,
// and report progress every 50 lines.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "Base.h"
#include "driver/machines/machine_state.h"
#include "driver/raster/band_convert.h"
#include "driver/raster/halftone.h"
#include "driver/raster/page_steps.h"
#include "driver/raster/raster_writer.h"
#include "driver/raster/row_pipeline.h"
#include "platform/clock.h"

namespace rx3 {
namespace {

// Pixels x 4: render buffers near 1 MB, so that the rows rendered are still
// in the cache when they are converted.
constexpr uint32_t kChunkBudget = 1 << 19;
constexpr int kProgressLines = 50;
constexpr int kRenderedPixelBytes = 8;

int32_t g_chunkRows = 0;  // 0: by kChunkBudget

struct Band {
  DotRect band;    // scaled and bled, not clipped
  DotRect onPage;  // the band's lines that lie on the page
  DotRect clip;    // drawn part on the page
  int32_t width;
  int32_t height;
};

bool hasDrawing(const jGdc* drawing) {
  return drawing && drawing->hasContent &&
         (drawing->x0 != 0 || drawing->y0 != 0 || drawing->x1 != 0 || drawing->y1 != 0);
}

// Skips lines and reports whether the port took everything so far: the
// skip hands the buffered raster on, and a port that fails there has lost
// this band, which must not be reported as written. Never feeds past the
// page's end, so the current line stays within the page's height.
int skipLines(DeviceRecord* record, int32_t lines) {
  EngineState& engine = record->state->engine;
  const int32_t left = engine.pageHeight - engine.currentLine;
  if (lines > left) lines = left;
  if (lines > 0) {
    writeVerticalSkip(record, lines);
    engine.currentLine += lines;
  }
  if (engine.printing == 1 && jSplGetStatus(engine.spoolHandle) != 1) engine.printing = 0;
  return engine.printing;
}

// Reports the line reached; 1 to go on.
int reportProgress(const jHostJobContext* context, EngineState& engine) {
  if (engine.currentLine % kProgressLines != 0) return 1;
  const int go = progressYield(context, engine.progress);
  if (go != 1) return go;
  const int percent =
      engine.pageHeight > 0 ? static_cast<int>(static_cast<int64_t>(engine.currentLine) * 100 / engine.pageHeight) : 0;
  char text[64];
  std::snprintf(text, sizeof text, "印刷中  [ %d %% - %d/%d ]", percent, engine.currentLine, engine.pageHeight);
  progressStep(context, engine.progress, percent, text);
  return 1;
}

struct Outcome {
  int go = 1;        // the host's answer
  int write = 1;     // the line writer's result
  int32_t rows = 0;  // written
};

// The buffers of rows made on the caller's thread alone; inks and kinds
// only where the pipeline's helper would separate the inks (see writeRows).
struct AloneBuffers {
  uint8_t* render = nullptr;
  ConvertedPixel* records = nullptr;
  int16_t* inks = nullptr;
  uint8_t* kinds = nullptr;

  AloneBuffers() = default;
  AloneBuffers(const AloneBuffers&) = delete;
  AloneBuffers& operator=(const AloneBuffers&) = delete;
  ~AloneBuffers() { release(); }
  void release() {
    jMemFree(render);
    jMemFree(records);
    jMemFree(inks);
    jMemFree(kinds);
    render = nullptr;
    records = nullptr;
    inks = nullptr;
    kinds = nullptr;
  }
  bool have(int32_t k, int32_t width, int32_t count, bool separate) {
    if (render) return true;
    render = static_cast<uint8_t*>(jMemAlloc(static_cast<size_t>(k) * width * kRenderedPixelBytes));
    records = static_cast<ConvertedPixel*>(jMemAlloc(static_cast<size_t>(count) * sizeof(ConvertedPixel)));
    if (separate) {
      inks = static_cast<int16_t*>(jMemAlloc(static_cast<size_t>(count) * 8 * sizeof(int16_t)));
      kinds = static_cast<uint8_t*>(jMemAlloc(static_cast<size_t>(count)));
    }
    if (!render || !records || (separate && (!inks || !kinds))) {
      release();
      return false;
    }
    // Records left of the drawing are never converted: they stay nothing drawn.
    std::memset(records, 0, static_cast<size_t>(count) * sizeof(ConvertedPixel));
    return true;
  }
};

// Renders and writes the clipped rows on this thread alone, top down, k
// at a time. With a pipeline beside it, what the rows cost goes to it, and
// the rows stop as soon as it should take the rest.
Outcome writeRows(jHostJobContext* context, const Band& b, int32_t k, const AloneBuffers& buffers,
                  RowPipeline* pipeline) {
  DeviceRecord* record = context->device;
  MachineState* state = record->state;
  EngineState& engine = state->engine;
  const int32_t pageLeft = engine.pageRect[0];
  const int32_t offset = b.clip.x0 - pageLeft;
  const int32_t count = b.clip.x1 - pageLeft;
  const size_t rowBytes = static_cast<size_t>(b.width) * kRenderedPixelBytes;
  const LineSeparation separation = lineSeparationOf(state);
  Outcome outcome;
  // The cost of a chunk's rows: its render, the cheaper of its first and
  // last rows' conversions and separations (as much again for each of its
  // rows: one row that met a colour first or was interrupted does not
  // speak for all), and all of it. A few looks at the thread's clock per
  // chunk, not per row. The helper would also separate the inks, which the
  // halftoning does here as it goes: the rows looked at are separated
  // first, as the helper does it (the same bytes). A band's first chunk is
  // not looked at: it also pays for setting the band up (the drawing's
  // band, its buffers touched for the first time), which no helper would
  // save, and on flat colour that alone made the rows look dear.
  for (int32_t y = b.clip.y1; y > b.clip.y0; y -= k) {
    const int32_t rows = y - b.clip.y0 < k ? y - b.clip.y0 : k;
    const bool measure = pipeline != nullptr && y != b.clip.y1;
    const int64_t start = measure ? platform::threadProcessorTicks() : 0;
    const double wallStart = measure ? platform::monotonicSeconds() : 0;
    int64_t renderTicks = 0, convertTicks = INT64_MAX, separateTicks = buffers.inks ? INT64_MAX : 0;
    if (!jGdcDraw(context->drawContext, buffers.render, b.clip.x0, y - k, b.clip.x1, y, state->profile.drawOption)) {
      outcome.write = 0;  // nothing trustworthy to print
      return outcome;
    }
    for (int32_t r = 0; r < rows; ++r) {
      if (engine.currentLine >= engine.pageHeight) return outcome;  // the page is full
      engine.currentLine += 1;
      outcome.go = reportProgress(context, engine);
      if (outcome.go != 1) return outcome;
      const bool sample = measure && (r == 0 || r == rows - 1);
      const int64_t converting = sample ? platform::threadProcessorTicks() : 0;
      if (measure && r == 0) renderTicks = converting - start;
      convertBand(engine.colorTransform, state->profile.colorMode, buffers.render + r * rowBytes,
                  buffers.records + offset, b.width);
      if (sample) {
        const int64_t converted = platform::threadProcessorTicks();
        convertTicks = std::min(convertTicks, converted - converting);
        if (buffers.inks) {
          separateLineInks(separation, buffers.records, count, buffers.inks, buffers.kinds);
          separateTicks = std::min(separateTicks, platform::threadProcessorTicks() - converted);
        }
      }
      outcome.write = sample && buffers.inks ? writeSeparatedLine(record, engine.currentLine,
                                                                  SeparatedLine{buffers.inks, buffers.kinds}, count)
                                             : writeRasterLine(record, engine.currentLine, buffers.records, count);
      if (outcome.write != 1) return outcome;
      outcome.rows += 1;
    }
    // Handed over between chunks only: a chunk rendered here is written here.
    if (measure && pipeline->handOver().madeAlone(rows, renderTicks + (convertTicks + separateTicks) * rows,
                                                  platform::threadProcessorTicks() - start,
                                                  platform::monotonicSeconds() - wallStart))
      return outcome;
  }
  return outcome;
}

// The same with the document's pipeline making the rows a few ahead.
Outcome writeRowsPipelined(jHostJobContext* context, const Band& b, RowPipeline* pipeline) {
  DeviceRecord* record = context->device;
  MachineState* state = record->state;
  EngineState& engine = state->engine;
  const int32_t pageLeft = engine.pageRect[0];
  const int32_t count = b.clip.x1 - pageLeft;
  const PipelineBand band{context->drawContext,
                          b.clip.x0,
                          b.clip.x1,
                          b.clip.y1,
                          state->profile.drawOption,
                          engine.colorTransform,
                          state->profile.colorMode,
                          b.clip.x0 - pageLeft,
                          b.height,
                          halftoneTakesSeparatedInks(),
                          lineSeparationOf(state),
                          state,
                          engine.currentLine + 1};
  pipeline->begin(band);
  Outcome outcome;
  outcome.rows = 0;
  for (int32_t r = 0; r < b.height; ++r) {
    if (engine.currentLine >= engine.pageHeight) break;  // the page is full
    engine.currentLine += 1;
    outcome.go = reportProgress(context, engine);
    if (outcome.go != 1) break;
    const HalftonedRow row = pipeline->row(r);
    if (!row.planes) {
      outcome.write = 0;  // nothing trustworthy to print
      break;
    }
    outcome.write = writeHalftonedLine(record, engine.currentLine, row.planes, row.inkTotals, count, row.planar);
    if (outcome.write != 1) break;
    outcome.rows += 1;
  }
  // The helper leaves the band (and the drawing) before the page goes on.
  if (!pipeline->finish()) outcome.write = 0;
  return outcome;
}

}  // namespace

void setRenderChunkRows(int32_t rows) {
  g_chunkRows = rows;
}

int drawPage(jHostJobContext* context, UnitRect bandRect) {
  DeviceRecord* record = context->device;
  MachineState* state = record->state;
  EngineState& engine = state->engine;
  Band b;
  // No page open (no buffers to halftone into) or a band that is no
  // rectangle: refused before anything is written.
  if (!engine.separation || !engine.dotPlanes || !engine.packBuffer) return 0;
  const DotRect page{engine.pageRect[0], engine.pageRect[1], engine.pageRect[2], engine.pageRect[3]};
  if (!bandToDots(*record, state->marginMode, bandRect, page, &b.band)) return 0;
  b.onPage = clipBand(b.band, DrawingExtent{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, page);
  const jGdc* drawing = context->drawContext;
  const DrawingExtent extent =
      drawing ? DrawingExtent{drawing->x0, drawing->y0, drawing->x1, drawing->y1} : DrawingExtent{0, 0, 0, 0};
  b.clip = clipBand(b.band, extent, page);
  b.width = b.clip.x1 - b.clip.x0;
  b.height = b.clip.y1 - b.clip.y0;
  if (!hasDrawing(drawing) || b.width <= 0 || b.height <= 0)
    return skipLines(record, b.onPage.y1 - b.onPage.y0) == 1 ? 1 : 0;

  const int32_t count = b.clip.x1 - engine.pageRect[0];
  // With a second processor, the document's pipeline makes the rows on two
  // threads; else, or when it cannot be had, all is done here.
  RowPipeline* pipeline = rowPipelineAllowed() && b.height > 1 ? documentRowPipeline(state) : nullptr;
  if (pipeline && !pipeline->prepare()) pipeline = nullptr;
  uint32_t k = kChunkBudget / (static_cast<uint32_t>(b.width) * 4u);
  if (g_chunkRows > 0) k = static_cast<uint32_t>(g_chunkRows);
  if (k > static_cast<uint32_t>(b.height)) k = static_cast<uint32_t>(b.height);
  if (k < 1) k = 1;
  // The buffers of rows made here: had before anything is written when
  // the rows start here, else when a try of the pipeline sends them back.
  AloneBuffers alone;
  const bool separate = pipeline != nullptr && halftoneTakesSeparatedInks();
  if ((!pipeline || !pipeline->handOver().handsOver()) &&
      !alone.have(static_cast<int32_t>(k), b.width, count, separate))
    return 0;
  skipLines(record, b.onPage.y1 - b.clip.y1);
  // Rows cheap to make stay on this thread (see HandOverChoice); the rest
  // go to the pipeline as soon as it should take them, a try of it a few
  // rows at a time, and come back here when the try did not pay.
  Outcome outcome;
  int32_t done = 0;
  while (outcome.go == 1 && outcome.write == 1 && done < b.height && engine.currentLine < engine.pageHeight) {
    Band rest = b;
    rest.clip.y1 -= done;
    rest.height -= done;
    if (pipeline && pipeline->handOver().handsOver()) {
      // The ring and the helper are had at the first rows handed over: a
      // document that never hands any over pays for neither.
      if (pipeline->start(count, b.width, static_cast<size_t>(engine.rowBytes) * 8, halftoneTakesSeparatedInks(),
                          g_chunkRows)) {
        rest.height = std::min(rest.height, pipeline->handOver().pipelinedRows());
        rest.clip.y0 = rest.clip.y1 - rest.height;
        outcome = writeRowsPipelined(context, rest, pipeline);
        done += outcome.rows;
        continue;
      }
      pipeline = nullptr;  // without them the rest of the band is made here
    }
    if (!alone.have(static_cast<int32_t>(k), b.width, count, separate)) {
      outcome.write = 0;
      break;
    }
    outcome = writeRows(context, rest, static_cast<int32_t>(k), alone, pipeline);
    done += outcome.rows;
    if (!pipeline) break;
    countRowsMadeAlone(outcome.rows);
  }
  const int handedOn = skipLines(record, b.clip.y0 - b.onPage.y0);
  // Any answer of the host other than 1 stops the page: never a success.
  return outcome.go == 1 && outcome.write == 1 && handedOn == 1 ? 1 : 0;
}

}  // namespace rx3
