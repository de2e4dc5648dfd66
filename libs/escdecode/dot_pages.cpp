#include "libs/escdecode/dot_pages.h"

#include <algorithm>
#include <map>

#include "libs/escdecode/printed_colour.h"

namespace escp {
namespace {

constexpr uint32_t kDotWeight[4] = {0, 1024, 2048, 4080};

// A decoder meets hostile streams: a page may reach this many lines, and
// hold this many cells, before it is reported as too large rather than
// built. 2^24 lines are 296 m of paper at 1440 dpi; 2^24 cells take 512 MB.
constexpr int64_t kMaxPageLines = int64_t{1} << 24;
constexpr uint64_t kMaxPageCells = uint64_t{1} << 24;

class PageBuilder {
 public:
  explicit PageBuilder(int scale) : scale_(scale) {}

  bool row(int plane, const std::vector<uint8_t>& bytes, std::string* error) {
    if (line_ >= kMaxPageLines) return tooLarge(error);
    const int dots = static_cast<int>(bytes.size()) * 4;
    const int width = std::max(dotWidth_, dots);
    const int height = std::max(dotHeight_, static_cast<int>(line_) + 1);
    if (cellsOf(width, height) > kMaxPageCells) return tooLarge(error);
    dotWidth_ = width;
    dotHeight_ = height;
    // Rows are kept by cell row, only where something was printed: a long
    // paper move costs nothing.
    std::vector<uint32_t>& r = rows_[static_cast<int>(line_ / scale_)];
    const size_t cellsWide = static_cast<size_t>(cellsFor(dots));
    if (r.size() < cellsWide * kPlanes) r.resize(cellsWide * kPlanes, 0);
    for (int x = 0; x < dots; ++x) {
      const int code = (bytes[static_cast<size_t>(x / 4)] >> (6 - 2 * (x % 4))) & 3;
      if (code) r[static_cast<size_t>(x / scale_) * kPlanes + static_cast<size_t>(plane)] += kDotWeight[code];
    }
    return true;
  }

  bool move(int lines, std::string* error) {
    if (line_ + lines > kMaxPageLines) return tooLarge(error);
    line_ += lines;
    return true;
  }

  DotPage finish() {
    DotPage page;
    page.scale = scale_;
    page.dotWidth = dotWidth_;
    page.dotHeight = dotHeight_;
    page.width = cellsFor(dotWidth_);
    page.height = cellsFor(dotHeight_);
    const size_t cells = static_cast<size_t>(page.width) * static_cast<size_t>(page.height);
    for (auto& plane : page.ink) plane.assign(cells, 0);
    for (const auto& [y, cellsOfRow] : rows_) {
      if (y >= page.height) continue;
      for (size_t x = 0; x * kPlanes < cellsOfRow.size(); ++x)
        for (int j = 0; j < kPlanes; ++j)
          page.ink[j][static_cast<size_t>(y) * page.width + x] = cellsOfRow[x * kPlanes + j];
    }
    rows_.clear();
    line_ = 0;
    dotWidth_ = dotHeight_ = 0;
    return page;
  }

 private:
  // Cells covering that many dots, rounded up, without overflow for any scale.
  int cellsFor(int dots) const { return static_cast<int>((int64_t{dots} + scale_ - 1) / scale_); }
  uint64_t cellsOf(int dotWidth, int dotHeight) const {
    return static_cast<uint64_t>(cellsFor(dotWidth)) * static_cast<uint64_t>(cellsFor(dotHeight));
  }
  bool tooLarge(std::string* error) const {
    *error = "page too large to build at scale " + std::to_string(scale_) + " (use a larger --scale)";
    return false;
  }

  int scale_;
  int64_t line_ = 0;
  int dotWidth_ = 0;
  int dotHeight_ = 0;
  std::map<int, std::vector<uint32_t>> rows_;  // by cell row: cells x planes
};

}  // namespace

int DotPage::dot(int plane, int x, int y) const {
  const uint32_t w = cell(plane, x, y);
  for (int code = 0; code < 4; ++code)
    if (kDotWeight[code] == w) return code;
  return -1;
}

namespace {

// Places one frame of a stream on the pages being built.
class PageFrames {
 public:
  PageFrames(int scale, std::vector<DotPage>* pages) : builder_(scale), pages_(pages) {}

  bool take(const Frame& f, std::string* error) {
    switch (f.kind) {
      case FrameKind::kRasterRow: {
        const int plane = planeOfColorCode(f.colorCode);
        if (plane < 0) {
          *error = "raster row with unknown colour code";
          return false;
        }
        if (!builder_.row(plane, f.unpacked, error)) return false;
        rowsSinceFeed_ = true;
        return true;
      }
      case FrameKind::kVerticalMove:
        if (f.lines < 0) {
          *error = "upward paper move";
          return false;
        }
        return builder_.move(f.lines, error);
      case FrameKind::kFormFeed:
        pages_->push_back(builder_.finish());
        rowsSinceFeed_ = false;
        return true;
      default:
        return true;
    }
  }

  void finish() {
    if (rowsSinceFeed_) pages_->push_back(builder_.finish());
  }

 private:
  PageBuilder builder_;
  std::vector<DotPage>* pages_;
  bool rowsSinceFeed_ = false;
};

bool validScale(int scale, std::string* error) {
  if (scale >= 1) return true;
  *error = "scale must be 1 or more";
  return false;
}

}  // namespace

bool buildPages(const Stream& stream, int scale, std::vector<DotPage>* pages, std::string* error) {
  pages->clear();
  if (!validScale(scale, error)) return false;
  PageFrames frames(scale, pages);
  for (const Frame& f : stream.frames)
    if (!frames.take(f, error)) return false;
  frames.finish();
  return true;
}

bool buildPagesEachFrame(const uint8_t* data, size_t size, int scale, std::vector<DotPage>* pages, std::string* error,
                         const std::atomic<int>* cancel, size_t pageLimit) {
  pages->clear();
  if (!validScale(scale, error)) return false;
  PageFrames frames(scale, pages);
  bool failed = false, enough = false;
  Problem problem{0, {}};
  const bool whole = decodeEachFrame(
      data, size,
      [&](const Frame& f) {
        if (cancel && cancel->load()) return false;
        if (!frames.take(f, error)) {
          failed = true;
          return false;
        }
        if (pageLimit && pages->size() >= pageLimit) {
          enough = true;
          return false;
        }
        return true;
      },
      &problem);
  if (enough) return true;
  if (whole) {
    frames.finish();
    return true;
  }
  if (!failed) *error = problem.message.empty() ? "cancelled" : problem.message;
  pages->clear();
  return false;
}

double meanCoverage(const DotPage& page, int plane, int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, page.width);
  y1 = std::min(y1, page.height);
  if (plane < 0 || plane >= kPlanes || x1 <= x0 || y1 <= y0) return 0.0;
  double sum = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) sum += page.cell(plane, x, y);
  const double perCell = static_cast<double>(kFullCoverage) * page.scale * page.scale;
  return sum / (perCell * (x1 - x0) * (y1 - y0));
}

void inkColour(const double coverage[kPlanes], int only, uint8_t rgb[3]) {
  auto level = [](double a, double b) { return static_cast<uint8_t>(255.0 * a * b + 0.5); };
  if (only >= 0 && only < kPlanes) {
    // One ink on its own, in the screen colour of its family at full
    // strength, so that even the palest ink's dots show.
    static constexpr bool kDarkens[kPlanes][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1},
                                                  {1, 0, 0}, {0, 1, 0}, {1, 1, 1}, {1, 1, 1}};
    const double c = std::min(1.0, coverage[only]);
    for (int k = 0; k < 3; ++k) rgb[k] = level(kDarkens[only][k] ? 1 - c : 1.0, 1.0);
    return;
  }
  printedColour(coverage, rgb);
}

std::vector<uint8_t> composite(const DotPage& page, int only) {
  std::vector<uint8_t> rgb(static_cast<size_t>(page.width) * page.height * 3);
  const double perCell = static_cast<double>(kFullCoverage) * page.scale * page.scale;
  double coverage[kPlanes];
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) {
      for (int j = 0; j < kPlanes; ++j) coverage[j] = page.cell(j, x, y) / perCell;
      inkColour(coverage, only, &rgb[(static_cast<size_t>(y) * page.width + x) * 3]);
    }
  }
  return rgb;
}

}  // namespace escp
