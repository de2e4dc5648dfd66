// The cells of a page summed a row of cells at a time. Every raster row
// lands at the line the paper has reached and the paper only moves down, so
// once the paper has passed a row of cells no later dot can land in it: that
// row is final and handed over then, and only the row being filled is held.
// Cells are square on paper: `scale` dots along the coarser axis, as many
// along the finer one as cover the same length (1440 x 720 dpi: cells of
// 2 x scale by scale dots).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"

namespace escp {

// The raster's resolution, from the stream's ESC (D; 0 until it is known.
struct Resolution {
  int x = 0;
  int y = 0;
};

// The resolution an ESC (D frame sets; false for any other frame.
bool rasterResolution(const Frame& frame, Resolution* out);

// Dots across and down one cell of `scale` at a resolution (both scale
// where it is unknown or the axes are not whole multiples of each other).
struct CellShape {
  int across = 1;
  int down = 1;
};
CellShape cellShape(int scale, Resolution resolution);

class CellRows {
 public:
  // The cell row y (0-based), each ink's sums over `width` cells (the
  // widest row so far): false ends the page's build.
  using RowDone = std::function<bool(int64_t y, int width, const uint32_t* const ink[kPlanes])>;

  CellRows(CellShape shape, RowDone done) : shape_(shape), done_(std::move(done)) {}

  // A raster row of `plane` lying on `line`; rows above the one it falls
  // in are handed over first. Lines must not go up.
  bool add(int plane, const std::vector<uint8_t>& bytes, int64_t line);
  // The paper has reached `line`: the rows of cells above it are final.
  bool reach(int64_t line);
  // The page's end: the row being filled is handed over.
  bool finish();
  // Starts a page afresh, its cells of `shape`.
  void reset(CellShape shape);

  CellShape shape() const { return shape_; }
  // Bytes of cells held (the row being filled).
  uint64_t heldBytes() const;

 private:
  bool handOver();

  CellShape shape_;
  RowDone done_;
  int64_t y_ = -1;  // the row being filled, -1 for none
  int width_ = 0;
  std::vector<uint32_t> ink_[kPlanes];
};

}  // namespace escp
