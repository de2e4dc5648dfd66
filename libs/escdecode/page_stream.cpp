#include "libs/escdecode/page_stream.h"

#include <algorithm>
#include <utility>

namespace escp {
namespace {

// The longest page, whatever its cells: 2^24 lines are 296 m of paper at
// 1440 dpi.
constexpr int64_t kMaxPageLines = int64_t{1} << 24;

}  // namespace

PageStream::PageStream(int scale, PageDone done, PageRefused refused, uint64_t maxCells)
    : scale_(scale),
      maxCells_(maxCells),
      done_(std::move(done)),
      refused_(std::move(refused)),
      cells_(CellShape{scale, scale}, [this](int64_t y, int width, const uint32_t* const ink[kPlanes]) {
        keepRow(y, width, ink);
        return true;
      }) {}

int64_t PageStream::cellsFor(int64_t dots, int per) {
  return (dots + per - 1) / per;
}

void PageStream::hold(int64_t bytes) {
  held_ = static_cast<uint64_t>(static_cast<int64_t>(held_) + bytes);
  peak_ = std::max(peak_, held_ + cells_.heldBytes());
}

void PageStream::keepRow(int64_t y, int width, const uint32_t* const ink[kPlanes]) {
  for (int j = 0; j < kPlanes; ++j) {
    // Only the inks that printed in the row: a page is laid out one ink at a time.
    int used = width;
    while (used > 0 && ink[j][used - 1] == 0) --used;
    if (used == 0) continue;
    rows_[j][static_cast<int>(y)].assign(ink[j], ink[j] + used);
    hold(static_cast<int64_t>(used * sizeof(uint32_t)));
  }
}

void PageStream::release() {
  for (auto& plane : rows_) plane.clear();
  held_ = 0;
  line_ = 0;
  dotWidth_ = dotHeight_ = 0;
  cells_.reset(cellShape(scale_, resolution_));
}

void PageStream::refuse() {
  release();
  refusedPage_ = true;
}

bool PageStream::row(int plane, const std::vector<uint8_t>& bytes) {
  if (refusedPage_) return true;
  if (line_ >= kMaxPageLines) {
    refuse();
    return true;
  }
  const int dots = static_cast<int>(bytes.size()) * 4;
  const int width = std::max(dotWidth_, dots);
  const int height = std::max(dotHeight_, static_cast<int>(line_) + 1);
  const CellShape shape = cells_.shape();
  if (static_cast<uint64_t>(cellsFor(width, shape.across)) * static_cast<uint64_t>(cellsFor(height, shape.down)) >
      maxCells_) {
    refuse();
    return true;
  }
  dotWidth_ = width;
  dotHeight_ = height;
  cells_.add(plane, bytes, line_);
  peak_ = std::max(peak_, held_ + cells_.heldBytes());
  return true;
}

bool PageStream::move(int lines) {
  if (refusedPage_) return true;
  if (line_ + lines > kMaxPageLines) {
    refuse();
    return true;
  }
  line_ += lines;
  return cells_.reach(line_);
}

bool PageStream::endPage() {
  const size_t index = index_++;
  rowsSinceFeed_ = false;
  if (refusedPage_) {
    refusedPage_ = false;
    release();
    return refused_(index, "page " + std::to_string(index + 1) + " too large to build at scale " +
                               std::to_string(scale_) + " (use a larger --scale)");
  }
  cells_.finish();
  const CellShape shape = cells_.shape();
  DotPage page;
  page.scale = shape.down;
  page.scaleX = shape.across == shape.down ? 0 : shape.across;
  page.dotWidth = dotWidth_;
  page.dotHeight = dotHeight_;
  page.width = static_cast<int>(cellsFor(dotWidth_, shape.across));
  page.height = static_cast<int>(cellsFor(dotHeight_, shape.down));
  const size_t cells = static_cast<size_t>(page.width) * static_cast<size_t>(page.height);
  // One ink at a time, its rows let go as it is laid out: the page and its
  // rows are never both held whole.
  for (int j = 0; j < kPlanes; ++j) {
    page.ink[j].assign(cells, 0);
    hold(static_cast<int64_t>(cells * sizeof(uint32_t)));
    for (auto& [y, cellsOfRow] : rows_[j]) {
      if (y < page.height)
        std::copy(cellsOfRow.begin(), cellsOfRow.end(), page.ink[j].begin() + static_cast<ptrdiff_t>(y) * page.width);
      hold(-static_cast<int64_t>(cellsOfRow.size() * sizeof(uint32_t)));
    }
    rows_[j].clear();
  }
  const bool more = done_(index, page);
  release();
  return more;
}

bool PageStream::take(const Frame& f, std::string* error) {
  error->clear();
  switch (f.kind) {
    case FrameKind::kRasterRow: {
      const int plane = planeOfColorCode(f.colorCode);
      if (plane < 0) {
        *error = "raster row with unknown colour code";
        return false;
      }
      rowsSinceFeed_ = true;
      return row(plane, f.unpacked);
    }
    case FrameKind::kVerticalMove:
      if (f.lines < 0) {
        *error = "upward paper move";
        return false;
      }
      return move(f.lines);
    case FrameKind::kFormFeed:
      return endPage();
    case FrameKind::kEscCommand:
      // The resolution comes in the page's header, before its rows.
      if (rasterResolution(f, &resolution_) && !rowsSinceFeed_) cells_.reset(cellShape(scale_, resolution_));
      return true;
    default:
      return true;
  }
}

bool PageStream::finish(std::string* error) {
  error->clear();
  return !rowsSinceFeed_ || endPage();
}

bool buildEachPage(const ReadBytes& read, int scale, const PageStream::PageDone& done,
                   const PageStream::PageRefused& refused, std::string* error, const std::atomic<int>* cancel,
                   uint64_t* peakBytes) {
  error->clear();
  if (scale < 1) {
    *error = "scale must be 1 or more";
    return false;
  }
  PageStream pages(scale, done, refused);
  bool stopped = false;
  Problem problem{0, {}};
  const bool whole = decodeEachFrame(
      read,
      [&](const Frame& f) {
        if (cancel && cancel->load()) return false;
        stopped = !pages.take(f, error);
        return !stopped;
      },
      &problem);
  bool ok = whole && pages.finish(error);
  if (!whole && !stopped) *error = problem.message.empty() ? "cancelled" : problem.message;
  if (peakBytes) *peakBytes = pages.peakBytes();
  return ok;
}

}  // namespace escp
