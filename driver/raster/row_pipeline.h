// The rows of a band on two processors. Each row takes three steps:
// conversion (records from the rendered pixels, then their inks), the
// error diffusion into dot planes, and the writing. Conversion of one row
// depends on nothing else, so rows convert in any order and on either
// thread; the diffusion carries its errors from row to row, so rows diffuse
// one at a time in order; the writing stays on the caller's thread (it
// talks to the port and the host) and takes rows in order. A thread of the
// page loop diffuses whenever the next row is converted and converts
// otherwise; the caller, while its next row is not diffused, does whichever
// step is free. Each step has no effect outside its own rows, the diffusion
// state and the chunk's rendered pixels, so the bytes written are those of
// doing all three just before writing each row.
//
// Memory stays bounded: rings of kPipelineSlots rows. Every wait is in
// short slices with a time-out, and the caller can cancel the chunk (each
// side stops before its next step).
#pragma once

#include <cstddef>
#include <cstdint>

#include "Device.h"
#include "driver/machines/machine_state.h"
#include "driver/raster/band_convert.h"
#include "driver/raster/halftone.h"

namespace rx3 {

constexpr int kPipelineSlots = 8;

// Lets the page loop use a second thread (the default on a machine with
// more than one processor); false does every step on the caller's thread.
// Both write the same bytes.
void allowRowPipeline(bool allowed);
bool rowPipelineAllowed();

// One chunk of rendered rows, top row first.
struct ConvertChunk {
  jCMS transform;
  int colorMode;
  uint8_t* rendered;  // rows x rowBytes; changed in place by the conversion
  size_t rowBytes;
  int32_t width;   // pixels converted per row
  int32_t offset;  // records before the first converted one (left as they are)
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
  ~RowPipeline();
  RowPipeline(const RowPipeline&) = delete;
  RowPipeline& operator=(const RowPipeline&) = delete;

  // Takes the rings (records all nothing drawn, inks and dot planes for
  // kPipelineSlots rows of recordsPerRow records and planeBytes) and starts
  // the thread; false when any cannot be had (the caller then does every
  // step on its own thread).
  bool start(int32_t recordsPerRow, size_t planeBytes);
  // Renders rows y0..y1 of the drawing into buffer as one jGdcDraw call
  // would (top row first), the lower half on the thread: the render reads
  // only the drawing, and each half fills rows of its own. Between chunks
  // only. jGdcDraw's result.
  int render(jGdc* drawing, uint8_t* buffer, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t option);
  // Starts a chunk; the previous chunk must be finished or cancelled.
  void begin(const ConvertChunk& chunk);
  // Row r of the chunk, halftoned, waiting for it; planes is null when the
  // steps did not finish in time (the page must then stop).
  HalftonedRow row(int32_t r);
  // Row r is written: its slot may take a later row.
  void done(int32_t r);
  // Stops the chunk before either side's next step and waits until the
  // thread has left the chunk's buffers; false when it did not in time
  // (the buffers must then not be given back).
  bool cancel();

 private:
  struct Shared;
  Shared* shared_ = nullptr;
  void* thread_ = nullptr;
};

}  // namespace rx3
