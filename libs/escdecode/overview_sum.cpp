#include "libs/escdecode/overview_sum.h"
#include "libs/escdecode/dot_weights.h"

#include <algorithm>
#include <array>
#include <utility>

namespace escp {
namespace {

// Lines a page may run to: far past any roll, and never past an int.
constexpr int64_t kMaxLines = int64_t{1} << 30;

// Cells of the largest scale whose sums always fit in 32 bits unshifted
// (1024 x 1024 dots of full coverage).
constexpr int kUnshiftedScale = 1024;

int cellsFor(int64_t dots, int scale) {
  return static_cast<int>((dots + scale - 1) / scale);
}

}  // namespace

int overviewScale(int dotWidth, int dotHeight, int maxCells) {
  maxCells = std::max(maxCells, 1);
  int scale = 1;
  while (cellsFor(dotWidth, scale) > maxCells || cellsFor(dotHeight, scale) > maxCells) scale *= 2;
  return scale;
}

void PageOverview::note() {
  uint64_t held = 0;
  for (const auto& plane : cells_) held += plane.capacity() * sizeof(uint32_t);
  peak_ = std::max<uint64_t>(peak_, held);
}

void PageOverview::doubleScale() {
  const int wide = (cellsWide_ + 1) / 2, high = (cellsHigh_ + 1) / 2;
  const int shift = scale_ >= kUnshiftedScale ? shift_ + 2 : shift_;
  for (auto& plane : cells_) {
    if (plane.empty()) continue;
    std::vector<uint32_t> merged(static_cast<size_t>(wide) * high);
    for (int y = 0; y < cellsHigh_; ++y) {
      const uint32_t* from = &plane[static_cast<size_t>(y) * cellsWide_];
      uint32_t* to = &merged[static_cast<size_t>(y / 2) * wide];
      for (int x = 0; x < cellsWide_; ++x) to[x / 2] += from[x] >> (shift - shift_);
    }
    plane.swap(merged);
    peak_ = std::max<uint64_t>(peak_, (plane.capacity() + merged.capacity()) * sizeof(uint32_t));
  }
  scale_ *= 2;
  shift_ = shift;
  cellsWide_ = wide;
  cellsHigh_ = high;
  note();
}

void PageOverview::widen(int cellsWide) {
  for (auto& plane : cells_) {
    if (plane.empty()) continue;
    std::vector<uint32_t> wider(static_cast<size_t>(cellsWide) * cellsHigh_);
    for (int y = 0; y < cellsHigh_; ++y)
      std::copy_n(plane.begin() + static_cast<ptrdiff_t>(y) * cellsWide_, cellsWide_,
                  wider.begin() + static_cast<ptrdiff_t>(y) * cellsWide);
    plane.swap(wider);
  }
  cellsWide_ = cellsWide;
}

// The page grows to dotWidth x dotHeight: the scale first, so that the
// cells never pass the bound, then the cells.
void PageOverview::fit(int dotWidth, int dotHeight) {
  while (cellsFor(dotWidth, scale_) > maxCells_ || cellsFor(dotHeight, scale_) > maxCells_) doubleScale();
  if (cellsFor(dotWidth, scale_) > cellsWide_) widen(cellsFor(dotWidth, scale_));
  if (cellsFor(dotHeight, scale_) > cellsHigh_) {
    cellsHigh_ = cellsFor(dotHeight, scale_);
    for (auto& plane : cells_)
      if (!plane.empty()) plane.resize(static_cast<size_t>(cellsWide_) * cellsHigh_, 0);
  }
  dotWidth_ = dotWidth;
  dotHeight_ = dotHeight;
  note();
}

void PageOverview::reach(int dotWidth, int dotHeight) {
  fit(std::max(dotWidth_, dotWidth), std::max(dotHeight_, dotHeight));
}

bool PageOverview::row(int plane, const std::vector<uint8_t>& bytes, std::string* error) {
  if (line_ >= kMaxLines) {
    *error = "page too long";
    return false;
  }
  const int dots = static_cast<int>(std::min<size_t>(bytes.size(), size_t{1} << 28) * 4);
  fit(std::max(dotWidth_, dots), std::max(dotHeight_, static_cast<int>(line_) + 1));
  if (bytes.empty()) return true;
  std::vector<uint32_t>& cells = cells_[plane];
  if (cells.empty()) {
    cells.assign(static_cast<size_t>(cellsWide_) * cellsHigh_, 0);
    note();
  }
  uint32_t* r = &cells[static_cast<size_t>(line_ / scale_) * cellsWide_];
  if (scale_ >= 4) {
    for (size_t b = 0; b < bytes.size(); ++b)
      if (bytes[b]) r[b * 4 / static_cast<size_t>(scale_)] += kByteWeight[bytes[b]] >> shift_;
  } else {
    for (int x = 0; x < dots; ++x) {
      const int code = (bytes[static_cast<size_t>(x / 4)] >> (6 - 2 * (x % 4))) & 3;
      if (code) r[x / scale_] += kDotWeight[code];
    }
  }
  return true;
}

bool PageOverview::take(const Frame& f, std::string* error) {
  if (ended_) return true;
  switch (f.kind) {
    case FrameKind::kRasterRow: {
      const int plane = planeOfColorCode(f.colorCode);
      if (plane < 0) {
        *error = "raster row with unknown colour code";
        return false;
      }
      return row(plane, f.unpacked, error);
    }
    case FrameKind::kVerticalMove:
      if (f.lines < 0) {
        *error = "upward paper move";
        return false;
      }
      line_ += f.lines;
      return true;
    case FrameKind::kFormFeed:
      ended_ = true;
      return true;
    default:
      return true;
  }
}

DotPage PageOverview::page() const {
  PageOverview copy(*this);
  return copy.takePage();
}

DotPage PageOverview::takePage() {
  DotPage p;
  p.scale = scale_;
  p.shift = shift_;
  p.dotWidth = dotWidth_;
  p.dotHeight = dotHeight_;
  p.width = cellsWide_;
  p.height = cellsHigh_;
  for (int j = 0; j < kPlanes; ++j) {
    if (cells_[j].empty())
      p.ink[j].assign(static_cast<size_t>(cellsWide_) * cellsHigh_, 0);
    else
      p.ink[j] = std::move(cells_[j]);
    cells_[j] = {};
  }
  return p;
}

}  // namespace escp
