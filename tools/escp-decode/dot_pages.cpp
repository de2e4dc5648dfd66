#include "dot_pages.h"

#include <algorithm>
#include <map>

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

bool buildPages(const Stream& stream, int scale, std::vector<DotPage>* pages, std::string* error) {
  pages->clear();
  if (scale < 1) {
    *error = "scale must be 1 or more";
    return false;
  }
  PageBuilder builder(scale);
  bool rowsSinceFeed = false;
  for (const Frame& f : stream.frames) {
    switch (f.kind) {
      case FrameKind::kRasterRow: {
        const int plane = planeOfColorCode(f.colorCode);
        if (plane < 0) {
          *error = "raster row with unknown colour code";
          return false;
        }
        if (!builder.row(plane, f.unpacked, error)) return false;
        rowsSinceFeed = true;
        break;
      }
      case FrameKind::kVerticalMove:
        if (f.lines < 0) {
          *error = "upward paper move";
          return false;
        }
        if (!builder.move(f.lines, error)) return false;
        break;
      case FrameKind::kFormFeed:
        pages->push_back(builder.finish());
        rowsSinceFeed = false;
        break;
      default:
        break;
    }
  }
  if (rowsSinceFeed) pages->push_back(builder.finish());
  return true;
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

std::vector<uint8_t> composite(const DotPage& page) {
  // Light inks count at their densities: light cyan and light magenta 30 %,
  // light black 50 %, light-light black 17 %.
  std::vector<uint8_t> rgb(static_cast<size_t>(page.width) * page.height * 3);
  const double perCell = static_cast<double>(kFullCoverage) * page.scale * page.scale;
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) {
      auto c = [&](int plane) { return page.cell(plane, x, y) / perCell; };
      const double cyan = std::min(1.0, c(0) + 0.30 * c(4));
      const double magenta = std::min(1.0, c(1) + 0.30 * c(5));
      const double yellow = std::min(1.0, c(2));
      const double black = std::min(1.0, c(3) + 0.50 * c(6) + 0.17 * c(7));
      uint8_t* px = &rgb[(static_cast<size_t>(y) * page.width + x) * 3];
      px[0] = static_cast<uint8_t>(255.0 * (1 - cyan) * (1 - black) + 0.5);
      px[1] = static_cast<uint8_t>(255.0 * (1 - magenta) * (1 - black) + 0.5);
      px[2] = static_cast<uint8_t>(255.0 * (1 - yellow) * (1 - black) + 0.5);
    }
  }
  return rgb;
}

}  // namespace escp
