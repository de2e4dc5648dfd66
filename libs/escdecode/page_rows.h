// Pages handed over a row of cells at a time, for pictures written as they
// are made: each row goes as soon as it is final (cell_rows.h), so a page of
// any size takes the memory of a row of cells. A picture's size comes
// before its rows, so each page's size in dots is given beforehand; dots
// beyond it are left out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "libs/escdecode/cell_rows.h"
#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"

namespace escp {

struct PageSize {
  int dotWidth = 0;
  int dotHeight = 0;
};

// What takes the pages; each returns false to end the build.
struct PageRowTaker {
  // A page of shape.width x shape.height cells (its sizes and scales; no cells).
  std::function<bool(size_t index, const DotPage& shape)> begin;
  // Its rows in order, every one (the blank ones too): each ink's shape.width sums.
  std::function<bool(const uint32_t* const ink[kPlanes])> row;
  std::function<bool(size_t index)> end;
};

class PageRows {
 public:
  // Pages past the sizes given are taken as 0 x 0 (their dots all left out).
  PageRows(int scale, std::vector<PageSize> sizes, PageRowTaker taker);
  PageRows(const PageRows&) = delete;
  PageRows& operator=(const PageRows&) = delete;

  // False when the frame cannot be placed (error set) or the taker ended
  // the build (error empty).
  bool take(const Frame& frame, std::string* error);
  // Ends the page after the last form feed, if it has rows.
  bool finish(std::string* error);

 private:
  bool begin();
  bool handOver(int64_t y, int width, const uint32_t* const ink[kPlanes]);
  bool blankTo(int y);
  bool endPage();

  int scale_;
  std::vector<PageSize> sizes_;
  PageRowTaker taker_;
  Resolution resolution_;
  CellRows cells_;
  size_t index_ = 0;
  bool begun_ = false;
  bool rows_ = false;  // since the last form feed
  int64_t line_ = 0;
  DotPage shape_;
  int next_ = 0;                         // the next row to hand over
  std::vector<uint32_t> blank_;          // a row of cells of every ink, all 0
  std::vector<uint32_t> wide_[kPlanes];  // a row shorter than the page, widened
};

}  // namespace escp
