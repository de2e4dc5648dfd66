// The second stage of a band's rows: a thread of the page loop converts the
// rendered rows of a chunk into pixel records a few rows ahead, while the
// caller halftones, packs and writes the rows converted before. Conversion
// has no effect outside its own records and the chunk's rendered pixels, so
// the bytes written are those of converting each row just before writing it.
//
// Memory stays bounded: a ring of kPipelineSlots record rows. Every wait is
// in short slices with a time-out, and the caller can cancel the chunk
// (the thread stops before its next row).
#pragma once

#include <cstddef>
#include <cstdint>

#include "Device.h"
#include "driver/raster/band_convert.h"

namespace rx3 {

constexpr int kPipelineSlots = 8;

// Lets the page loop convert on a second thread (the default on a machine
// with more than one processor); false converts every row on the caller's
// thread. Both write the same bytes.
void allowRowPipeline(bool allowed);
bool rowPipelineAllowed();

// One chunk of rendered rows to convert, top row first.
struct ConvertChunk {
  jCMS transform;
  int colorMode;
  uint8_t* rendered;  // rows x rowBytes; changed in place by the conversion
  size_t rowBytes;
  int32_t width;   // pixels converted per row
  int32_t offset;  // records before the first converted one (left as they are)
  int32_t rows;
};

class RowPipeline {
 public:
  RowPipeline() = default;
  ~RowPipeline();
  RowPipeline(const RowPipeline&) = delete;
  RowPipeline& operator=(const RowPipeline&) = delete;

  // Takes the record ring (kPipelineSlots rows of recordsPerRow records,
  // all nothing drawn) and starts the thread; false when either cannot be
  // had (the caller then converts on its own thread).
  bool start(int32_t recordsPerRow);
  // Starts converting a chunk; the previous chunk must be finished or
  // cancelled.
  void begin(const ConvertChunk& chunk);
  // The records of row r of the chunk, waiting for them; null when the
  // thread did not deliver in time (the page must then stop).
  const ConvertedPixel* row(int32_t r);
  // Row r is written: its slot may take a later row.
  void done(int32_t r);
  // Stops the chunk before the thread's next row and waits until the thread
  // has left the chunk's buffers; false when it did not in time (the
  // buffers must then not be given back).
  bool cancel();

 private:
  struct Shared;
  Shared* shared_ = nullptr;
  void* thread_ = nullptr;
};

}  // namespace rx3
