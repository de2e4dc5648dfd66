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

namespace rx3 {
namespace {

constexpr uint32_t kChunkBudget = 10000000;  // pixels x 4: render buffers near 20 MB
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
  int go = 1;     // the host's answer
  int write = 1;  // the line writer's result
};

// How a row is made: converted and halftoned here, just before it is
// written, or by the pipeline's two threads a few rows ahead.
struct RowSource {
  ConvertedPixel* records;  // this thread's row (pipeline off)
  RowPipeline* pipeline;    // null: convert here
};

// Renders and writes the clipped rows, top down, k at a time.
Outcome writeRows(jHostJobContext* context, const Band& b, int32_t k, uint8_t* render, const RowSource& source) {
  DeviceRecord* record = context->device;
  MachineState* state = record->state;
  EngineState& engine = state->engine;
  const int32_t pageLeft = engine.pageRect[0];
  const int32_t offset = b.clip.x0 - pageLeft;
  const int32_t count = b.clip.x1 - pageLeft;
  const size_t rowBytes = static_cast<size_t>(b.width) * kRenderedPixelBytes;
  Outcome outcome;
  for (int32_t y = b.clip.y1; y > b.clip.y0; y -= k) {
    const int32_t rows = y - b.clip.y0 < k ? y - b.clip.y0 : k;
    const int drawn = source.pipeline ? source.pipeline->render(context->drawContext, render, b.clip.x0, y - k,
                                                                b.clip.x1, y, state->profile.drawOption)
                                      : jGdcDraw(context->drawContext, render, b.clip.x0, y - k, b.clip.x1, y,
                                                 state->profile.drawOption);
    if (!drawn) {
      outcome.write = 0;  // nothing trustworthy to print
      return outcome;
    }
    const ConvertChunk chunk{engine.colorTransform,
                             state->profile.colorMode,
                             render,
                             rowBytes,
                             b.width,
                             offset,
                             rows,
                             halftoneTakesSeparatedInks(),
                             lineSeparationOf(state),
                             state,
                             engine.currentLine + 1};
    if (source.pipeline) source.pipeline->begin(chunk);
    for (int32_t r = 0; r < rows; ++r) {
      if (engine.currentLine >= engine.pageHeight) return outcome;  // the page is full
      engine.currentLine += 1;
      outcome.go = reportProgress(context, engine);
      if (outcome.go != 1) return outcome;
      if (source.pipeline) {
        const HalftonedRow row = source.pipeline->row(r);
        if (!row.planes) {
          outcome.write = 0;  // the other thread stopped answering
          return outcome;
        }
        outcome.write = writeHalftonedLine(record, engine.currentLine, row.planes, row.inkTotals, count, row.planar);
      } else {
        convertBand(chunk.transform, chunk.colorMode, render + r * rowBytes, source.records + offset, b.width);
        outcome.write = writeRasterLine(record, engine.currentLine, source.records, count);
      }
      if (outcome.write != 1) return outcome;
      if (source.pipeline) source.pipeline->done(r);
    }
    // The thread has left the chunk before the next one is rendered over it.
    if (source.pipeline && !source.pipeline->cancel()) {
      outcome.write = 0;
      return outcome;
    }
  }
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

  uint32_t k = kChunkBudget / (static_cast<uint32_t>(b.width) * 4u);
  if (g_chunkRows > 0) k = static_cast<uint32_t>(g_chunkRows);
  if (k > static_cast<uint32_t>(b.height)) k = static_cast<uint32_t>(b.height);
  if (k < 1) k = 1;
  const int32_t count = b.clip.x1 - engine.pageRect[0];
  auto* render = static_cast<uint8_t*>(jMemAlloc(static_cast<size_t>(k) * b.width * kRenderedPixelBytes));
  if (!render) return 0;
  // With a second processor, rows are converted on a thread of their own a
  // few rows ahead of the writing; else, or when no thread can be had, here.
  RowPipeline pipeline;
  RowSource source{nullptr, nullptr};
  if (rowPipelineAllowed() && b.height > 1 && pipeline.start(count, static_cast<size_t>(engine.rowBytes) * 8))
    source.pipeline = &pipeline;
  if (!source.pipeline) {
    source.records = static_cast<ConvertedPixel*>(jMemAlloc(static_cast<size_t>(count) * sizeof(ConvertedPixel)));
    if (!source.records) {
      jMemFree(render);
      return 0;
    }
    // Records left of the drawing are never converted: they stay nothing drawn.
    std::memset(source.records, 0, static_cast<size_t>(count) * sizeof(ConvertedPixel));
  }

  skipLines(record, b.onPage.y1 - b.clip.y1);
  const Outcome outcome = writeRows(context, b, static_cast<int32_t>(k), render, source);
  const int handedOn = skipLines(record, b.clip.y0 - b.onPage.y0);
  jMemFree(source.records);
  // A thread that would not leave the rendered rows keeps them.
  if (!source.pipeline || pipeline.cancel()) jMemFree(render);
  // Any answer of the host other than 1 stops the page: never a success.
  return outcome.go == 1 && outcome.write == 1 && handedOn == 1 ? 1 : 0;
}

}  // namespace rx3
