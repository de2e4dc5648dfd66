#include "libs/escdecode/page_rows.h"

#include <algorithm>
#include <utility>

#include "libs/escdecode/frame_walk.h"

namespace escp {

PageRows::PageRows(int scale, std::vector<PageSize> sizes, PageRowTaker taker)
    : scale_(scale),
      sizes_(std::move(sizes)),
      taker_(std::move(taker)),
      cells_(CellShape{scale, scale},
             [this](int64_t y, int width, const uint32_t* const ink[kPlanes]) { return handOver(y, width, ink); }) {}

bool PageRows::begin() {
  if (begun_) return true;
  begun_ = true;
  const CellShape shape = cellShape(scale_, resolution_);
  const PageSize size = index_ < sizes_.size() ? sizes_[index_] : PageSize{};
  cells_.reset(shape);
  shape_ = DotPage{};
  shape_.scale = shape.down;
  shape_.scaleX = shape.across == shape.down ? 0 : shape.across;
  shape_.dotWidth = size.dotWidth;
  shape_.dotHeight = size.dotHeight;
  shape_.width = (size.dotWidth + shape.across - 1) / shape.across;
  shape_.height = (size.dotHeight + shape.down - 1) / shape.down;
  next_ = 0;
  blank_.assign(static_cast<size_t>(shape_.width), 0);
  return taker_.begin(index_, shape_);
}

bool PageRows::blankTo(int y) {
  const uint32_t* blank[kPlanes];
  std::fill(std::begin(blank), std::end(blank), blank_.data());
  for (y = std::min(y, shape_.height); next_ < y; ++next_)
    if (!taker_.row(blank)) return false;
  return true;
}

bool PageRows::handOver(int64_t y, int width, const uint32_t* const ink[kPlanes]) {
  if (y >= shape_.height) return true;  // below the page: left out
  if (!blankTo(static_cast<int>(y))) return false;
  const uint32_t* row[kPlanes];
  for (int j = 0; j < kPlanes; ++j) {
    row[j] = ink[j];
    if (width >= shape_.width) continue;
    wide_[j].assign(ink[j], ink[j] + width);
    wide_[j].resize(static_cast<size_t>(shape_.width), 0);
    row[j] = wide_[j].data();
  }
  ++next_;
  return taker_.row(row);
}

bool PageRows::endPage() {
  const bool ended = begin() && cells_.finish() && blankTo(shape_.height) && taker_.end(index_);
  ++index_;
  begun_ = false;
  rows_ = false;
  line_ = 0;
  return ended;
}

bool PageRows::take(const Frame& f, std::string* error) {
  error->clear();
  switch (f.kind) {
    case FrameKind::kRasterRow: {
      const int plane = planeOfColorCode(f.colorCode);
      if (plane < 0) {
        *error = "raster row with unknown colour code";
        return false;
      }
      rows_ = true;
      return begin() && cells_.add(plane, f.unpacked, line_);
    }
    case FrameKind::kVerticalMove:
      if (!movePaper(f, &line_, error)) return false;
      return !begun_ || cells_.reach(line_);
    case FrameKind::kFormFeed:
      return endPage();
    case FrameKind::kEscCommand:
      if (!begun_) rasterResolution(f, &resolution_);
      return true;
    default:
      return true;
  }
}

bool PageRows::finish(std::string* error) {
  error->clear();
  return !rows_ || endPage();
}

}  // namespace escp
