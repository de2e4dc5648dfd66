// Where each page and each band of a printer stream starts, so that a window
// of one page's dots can be decoded from the nearest band start above it
// instead of from the start of the stream. A band start is the first raster
// row of a line: the decoder needs nothing from before it but the line it
// lies on (rows are self-contained, and paper moves only go down).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "libs/escdecode/cell_rows.h"
#include "libs/escdecode/dot_band.h"
#include "libs/escdecode/escp_decoder.h"

namespace escp {

struct BandStart {
  StreamOffset offset;  // of the band's first raster row
  int64_t line;         // the paper's line there
};

struct PageStart {
  StreamOffset offset = 0;  // of the page's first byte (the stream's, or just after a form feed)
  StreamOffset end = 0;     // just after its form feed (or the stream's end)
  int dotWidth = 0;         // as the pages built from the stream measure them
  int dotHeight = 0;
  Resolution resolution;         // its raster's, from its header (0 x 0 when it has none)
  std::vector<BandStart> bands;  // in line order
};

struct StreamIndex {
  std::vector<PageStart> pages;
};

// Takes the frames of a stream in order and notes its pages and bands: a new
// band where a row begins at least bandLines below the last band's start.
class StreamIndexer {
 public:
  explicit StreamIndexer(int bandLines = 256) : bandLines_(bandLines) {}
  // false with a message for a placement no page can have (an upward move).
  bool take(const Frame& frame, std::string* error);
  // The index, with the last page when rows came after the last form feed.
  StreamIndex finish(StreamOffset streamSize);

 private:
  int bandLines_;
  StreamIndex index_;
  PageStart page_;
  int64_t line_ = 0;
  int64_t rowLine_ = -1;  // the line of the last row, -1 before the page's first
  bool rows_ = false;
};

// Indexes a whole stream; false with a message when it cannot be decoded or
// on a cancel.
bool indexStream(const uint8_t* data, size_t size, StreamIndex* out, std::string* error,
                 const std::atomic<int>* cancel = nullptr, int bandLines = 256);

// As decodeBand, decoding only from the band start nearest above y0 to the
// window's last line.
bool decodeBandIndexed(const uint8_t* data, size_t size, const StreamIndex& index, int page, int x0, int y0, int width,
                       int height, DotBand* out, std::string* error);

// Opens a reader of the stream's bytes [from, to): the stream need not be in
// memory (a file on disk reads only the band it is asked for).
using ReadRange = std::function<ReadBytes(StreamOffset from, StreamOffset to)>;

// The bytes of an open file, which must outlive the reader; each range seeks
// anew, so one file serves one range at a time.
ReadRange readFileRange(std::FILE* file);

// As above over a stream of `size` bytes read through open.
bool decodeBandIndexed(const ReadRange& open, StreamOffset size, const StreamIndex& index, int page, int x0, int y0,
                       int width, int height, DotBand* out, std::string* error);

}  // namespace escp
