// The rows of a band on two processors. A row takes four steps: the
// render, the conversion (records from the rendered pixels, then their
// inks), the error diffusion into dot planes, and the writing. Render and
// conversion of a row depend on nothing but the drawing, so rows are made
// in strips of a few rows, in any order and on either thread; the diffusion
// carries its errors from row to row and the writing talks to the port, so
// both stay on the caller's thread and take rows in order.
//
// One helper thread serves a whole document; strips are claimed by an
// atomic counter, so neither side ever waits for the other to hand work
// over. The caller makes every strip nobody has claimed yet itself; when
// the one it needs next is in the helper's hands it makes later strips
// meanwhile, and when the helper takes clearly longer than a strip takes
// (it is not running: the machine is busy) the caller makes that strip
// again on its own rather than wait for it. A page with the pipeline is
// therefore never slower than on one thread by more than a strip's work,
// and the bytes are those of doing every step just before writing the row.
//
// Rows that are cheap to make (flat colour) gain little from a second
// thread and cost both threads the hand-over: the page loop makes and writes
// those on its own thread, the plain way, and hands rows to the pipeline
// only while their making is a large share of their work (HandOverChoice,
// decided from the threads' processor time, looked at every few dozen rows
// on the caller's own and at the end of every band through the pipeline).
//
// Memory stays bounded: a ring of kPipelineSlots strips of about 2 MB,
// reused from band to band. Every wait has a time-out, and the band can be
// stopped at any row (each side stops before its next strip).
#pragma once

#include <cstddef>
#include <cstdint>

#include "Device.h"
#include "driver/machines/machine_state.h"
#include "driver/raster/band_convert.h"
#include "driver/raster/halftone.h"
#include "driver/raster/pipeline_choice.h"

namespace rx3 {

constexpr int kPipelineSlots = 8;

// Lets the page loop use a second thread (the default on a machine with
// more than one processor); false does every step on the caller's thread.
// Both write the same bytes.
void allowRowPipeline(bool allowed);
bool rowPipelineAllowed();

// One band: rows yTop - 1 down to yTop - rows of the drawing, top row first.
struct PipelineBand {
  jGdc* drawing;
  int32_t x0, x1;  // drawn columns; x1 - x0 pixels are converted per row
  int32_t yTop;
  int32_t option;  // the render option
  jCMS transform;
  int colorMode;
  int32_t offset;  // records before the first converted one (left nothing drawn)
  int32_t rows;
  bool separate;              // separate the inks ahead of the diffusion
  LineSeparation separation;  // how, when separate
  MachineState* state;        // whose diffusion state the rows go through
  int32_t firstLine;          // line number of row 0
};

// A row ready for writing: its dot planes and the ink they lay down.
struct HalftonedRow {
  const uint8_t* planes;
  const uint64_t* inkTotals;  // 8
  uint8_t* planar;            // the caller's room for the planes laid out contiguously
};

class RowPipeline {
 public:
  RowPipeline() = default;
  // Ends the helper (see end()).
  ~RowPipeline();
  RowPipeline(const RowPipeline&) = delete;
  RowPipeline& operator=(const RowPipeline&) = delete;

  // Has the pipeline's state ready for the choice of rows (no ring and no
  // thread yet). False when the pipeline cannot be used: the caller then
  // does every step on its own.
  bool prepare();
  // Before rows are handed over, between bands: makes the ring fit bands
  // of recordsPerRow records, width rendered pixels and planeBytes of dot
  // planes, strips of at most maxRows rows (0: as many as fit the room of a
  // strip), kept when it already does, and starts the helper if it is not
  // running. False when any of it cannot be had.
  bool start(int32_t recordsPerRow, int32_t width, size_t planeBytes, bool separate, int32_t maxRows);
  // Starts a band; the previous one must be finished.
  void begin(const PipelineBand& band);
  // Row r of the band (in order, each once), halftoned; planes is null when
  // its render failed or the band was stopped (the page must then stop).
  HalftonedRow row(int32_t r);
  // Stops the band and waits until the helper has left it (the drawing may
  // go away after); false when it did not in time: the pipeline is then
  // broken and must not be used again.
  bool finish();
  // Which rows go through the pipeline (after prepare): only while making
  // them is dear enough for a second thread to pay. The caller makes and
  // writes other rows alone, the plain way, and reports what they cost.
  HandOverChoice& handOver();
  // Ends the helper thread, waiting for it with a time-out; one that does
  // not answer is left to end on its own, with the ring.
  void end();
  bool broken() const { return broken_; }

 private:
  struct Shared;
  Shared* shared_ = nullptr;
  void* thread_ = nullptr;
  bool broken_ = false;
};

// The pipeline of the document printing on this machine state: made at
// its first band, its helper kept until endRowPipeline (the end of the
// document, a failure or an abandoned job). Null when none can be had.
RowPipeline* documentRowPipeline(const MachineState* state);
void endRowPipeline(const MachineState* state);

// What the pipelines of this process did so far, for the benchmarks: strips
// made by the helpers and by the callers, strips a caller made again (its
// helper did not come back in time), and the callers' time spent waiting
// (spinning for a helper's strip, or for the helper to leave a band), and
// rows the caller made alone because they were too cheap to make for a
// hand-over to pay (counted by the page loop).
struct PipelineCounters {
  int64_t helperStrips;
  int64_t callerStrips;
  int64_t madeAgain;
  int64_t waitedNs;
  int64_t keptRows;
};
PipelineCounters pipelineCounters();
void countRowsMadeAlone(int32_t rows);

// For tests: the helper sleeps this long after claiming each strip, as if
// the system had taken its processor away.
void stallPipelineHelper(int milliseconds);

}  // namespace rx3
