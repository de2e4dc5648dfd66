// The overview of a stream's first page, summed as the stream's frames pass
// by: cells of scale x scale dots whose longer side stays within a bound.
// A page's size is known only at its end, so no scale chosen up front could
// be kept; the scale is a power of two instead, doubled whenever the page
// outgrows the bound, and the cells summed so far merge four into one
// exactly. The memory is that of the bounded cells, whatever the page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"

namespace escp {

// The scale a page of dotWidth x dotHeight ends at: the least power of two
// whose cells keep both sides within maxCells.
int overviewScale(int dotWidth, int dotHeight, int maxCells);

class PageOverview {
 public:
  explicit PageOverview(int maxCells) : maxCells_(maxCells < 1 ? 1 : maxCells) {}

  // The frames of a stream in order; those after the first page's form feed
  // are let by. False with a message for a placement no page can have.
  bool take(const Frame& frame, std::string* error);
  // Makes room for the page's own size where it is known apart from its
  // rows (they may stop short of it), the scale kept within the bound.
  void reach(int dotWidth, int dotHeight);
  // True once the first page's form feed has passed.
  bool ended() const { return ended_; }
  // The page summed so far (all of it once ended), as the page builder
  // gives it at overviewScale. Cells of scales past 1024 hold their sums
  // shifted right (DotPage::shift) so that they fit in 32 bits.
  DotPage page() const;
  // The same, its cells handed over rather than copied (the sum is then
  // spent).
  DotPage takePage();
  // The most bytes of cells held at once.
  uint64_t peakBytes() const { return peak_; }

 private:
  bool row(int plane, const std::vector<uint8_t>& bytes, std::string* error);
  void fit(int dotWidth, int dotHeight);
  void doubleScale();
  void widen(int cellsWide);
  void note();

  int maxCells_;
  int scale_ = 1;
  int shift_ = 0;
  bool ended_ = false;
  int64_t line_ = 0;
  int dotWidth_ = 0;
  int dotHeight_ = 0;
  int cellsWide_ = 0;
  int cellsHigh_ = 0;
  // By ink, row-major, cellsWide_ x cellsHigh_; an ink no row has used holds
  // nothing.
  std::vector<uint32_t> cells_[kPlanes];
  uint64_t peak_ = 0;
};

}  // namespace escp
