// The band loop of a page: clip, render a chunk of rows, convert, halftone
// and write each row as a raster line (with a second thread sharing the
// steps when the machine has one), skip the blank lines above and below,
// and report progress every 50 lines.
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

// Renders and writes the clipped rows on this thread alone, top down, k
// at a time. With a pipeline beside it, what the rows cost goes to it, and
// the rows stop as soon as it should take the rest.
Outcome writeRows(jHostJobContext* context, const Band& b, int32_t k, uint8_t* render, ConvertedPixel* records,
                  RowPipeline* pipeline) {
  DeviceRecord* record = context->device;
  MachineState* state = record->state;
  EngineState& engine = state->engine;
  const int32_t pageLeft = engine.pageRect[0];
  const int32_t offset = b.clip.x0 - pageLeft;
  const int32_t count = b.clip.x1 - pageLeft;
  const size_t rowBytes = static_cast<size_t>(b.width) * kRenderedPixelBytes;
  Outcome outcome;
  // The cost of a chunk's rows: its render, the cheaper of its first and
  // last rows' conversions (as much again for each of its rows: one row
  // that met a colour first or was interrupted does not speak for all),
  // and all of it. A few looks at the thread's clock per chunk, not per
  // row. A band's first chunk is not looked at: it also pays for setting
  // the band up (the drawing's band, its buffers touched for the first
  // time), which no helper would save, and on flat colour that alone made
  // the rows look dear.
  for (int32_t y = b.clip.y1; y > b.clip.y0; y -= k) {
    const int32_t rows = y - b.clip.y0 < k ? y - b.clip.y0 : k;
    const bool measure = pipeline != nullptr && y != b.clip.y1;
    const int64_t start = measure ? platform::threadProcessorTicks() : 0;
    int64_t renderTicks = 0, convertTicks = INT64_MAX;
    if (!jGdcDraw(context->drawContext, render, b.clip.x0, y - k, b.clip.x1, y, state->profile.drawOption)) {
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
      convertBand(engine.colorTransform, state->profile.colorMode, render + r * rowBytes, records + offset, b.width);
      if (sample) {
        const int64_t took = platform::threadProcessorTicks() - converting;
        if (took < convertTicks) convertTicks = took;
      }
      outcome.write = writeRasterLine(record, engine.currentLine, records, count);
      if (outcome.write != 1) return outcome;
      outcome.rows += 1;
    }
    // Handed over between chunks only: a chunk rendered here is written here.
    if (measure &&
        pipeline->madeAlone(rows, renderTicks + convertTicks * rows, platform::threadProcessorTicks() - start))
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
  if (pipeline && !pipeline->prepare(count, b.width, static_cast<size_t>(engine.rowBytes) * 8,
                                     halftoneTakesSeparatedInks(), g_chunkRows))
    pipeline = nullptr;
  uint8_t* render = nullptr;
  ConvertedPixel* records = nullptr;
  uint32_t k = kChunkBudget / (static_cast<uint32_t>(b.width) * 4u);
  if (g_chunkRows > 0) k = static_cast<uint32_t>(g_chunkRows);
  if (k > static_cast<uint32_t>(b.height)) k = static_cast<uint32_t>(b.height);
  if (k < 1) k = 1;
  if (!pipeline || !pipeline->handsOver()) {
    render = static_cast<uint8_t*>(jMemAlloc(static_cast<size_t>(k) * b.width * kRenderedPixelBytes));
    records = static_cast<ConvertedPixel*>(jMemAlloc(static_cast<size_t>(count) * sizeof(ConvertedPixel)));
    if (!render || !records) {
      jMemFree(render);
      jMemFree(records);
      return 0;
    }
    // Records left of the drawing are never converted: they stay nothing drawn.
    std::memset(records, 0, static_cast<size_t>(count) * sizeof(ConvertedPixel));
  }
  skipLines(record, b.onPage.y1 - b.clip.y1);
  // Rows cheap to make stay on this thread (see HandOverChoice); the rest
  // of the band goes to the pipeline as soon as it should take them.
  Outcome outcome;
  if (render) {
    outcome = writeRows(context, b, static_cast<int32_t>(k), render, records, pipeline);
    if (pipeline) countRowsMadeAlone(outcome.rows);
  }
  if (pipeline && outcome.go == 1 && outcome.write == 1 && outcome.rows < b.height &&
      engine.currentLine < engine.pageHeight) {
    Band rest = b;
    rest.clip.y1 -= outcome.rows;
    rest.height -= outcome.rows;
    outcome = writeRowsPipelined(context, rest, pipeline);
  }
  jMemFree(render);
  jMemFree(records);
  const int handedOn = skipLines(record, b.clip.y0 - b.onPage.y0);
  // Any answer of the host other than 1 stops the page: never a success.
  return outcome.go == 1 && outcome.write == 1 && handedOn == 1 ? 1 : 0;
}

}  // namespace rx3
