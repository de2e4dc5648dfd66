#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/dot_weights.h"

#include <algorithm>
#include <cmath>

#include "libs/escdecode/frame_walk.h"
#include "libs/escdecode/page_stream.h"

#include "libs/escdecode/printed_colour.h"

namespace escp {
namespace {}  // namespace

int DotPage::dot(int plane, int x, int y) const {
  const uint32_t w = cell(plane, x, y);
  for (int code = 0; code < 4; ++code)
    if (kDotWeight[code] == w) return code;
  return -1;
}

namespace {

// All pages kept, as the callers that want them together expect; a page
// over the size limit fails the whole build.
PageStream keepingAll(int scale, std::vector<DotPage>* pages, std::string* refusal) {
  return PageStream(
      scale,
      [pages](size_t, const DotPage& page) {
        pages->push_back(page);
        return true;
      },
      [refusal](size_t, const std::string& why) {
        *refusal = why;
        return false;
      });
}

}  // namespace

bool buildPages(const Stream& stream, int scale, std::vector<DotPage>* pages, std::string* error) {
  pages->clear();
  if (scale < 1) {
    *error = "scale must be 1 or more";
    return false;
  }
  std::string refusal;
  PageStream builder = keepingAll(scale, pages, &refusal);
  for (const Frame& f : stream.frames)
    if (!builder.take(f, error)) {
      if (error->empty()) *error = refusal;
      return false;
    }
  if (builder.finish(error)) return true;
  *error = refusal;
  return false;
}

bool buildPagesEachFrame(const uint8_t* data, size_t size, int scale, std::vector<DotPage>* pages, std::string* error,
                         const std::atomic<int>* cancel, size_t pageLimit) {
  pages->clear();
  if (scale < 1) {
    *error = "scale must be 1 or more";
    return false;
  }
  std::string refusal;
  PageStream builder = keepingAll(scale, pages, &refusal);
  const auto take = [&](const Frame& f) {
    if (!builder.take(f, error)) {
      if (error->empty()) *error = refusal;
      return Step::kFail;
    }
    return pageLimit && pages->size() >= pageLimit ? Step::kEnough : Step::kOn;
  };
  const Walk walk = walkFrames(data, size, take, error, cancel);
  if (walk == Walk::kEnough) return true;
  if (walk == Walk::kWhole) {
    if (builder.finish(error)) return true;
    *error = refusal;
  }
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
  const double perCell = std::ldexp(static_cast<double>(kFullCoverage) * page.across() * page.scale, -page.shift);
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

void inkColours(const uint32_t* const ink[kPlanes], int width, int dotsPerCell, int shift, int only, uint8_t* rgb) {
  const double perCell = std::ldexp(static_cast<double>(kFullCoverage) * dotsPerCell, -shift);
  double coverage[kPlanes];
  for (int x = 0; x < width; ++x) {
    for (int j = 0; j < kPlanes; ++j) coverage[j] = ink[j][x] / perCell;
    inkColour(coverage, only, &rgb[static_cast<size_t>(x) * 3]);
  }
}

std::vector<uint8_t> composite(const DotPage& page, int only) {
  std::vector<uint8_t> rgb(static_cast<size_t>(page.width) * page.height * 3);
  if (page.width <= 0) return rgb;
  for (int y = 0; y < page.height; ++y) {
    const uint32_t* row[kPlanes];
    for (int j = 0; j < kPlanes; ++j) row[j] = &page.ink[j][static_cast<size_t>(y) * page.width];
    inkColours(row, page.width, page.across() * page.scale, page.shift, only,
               &rgb[static_cast<size_t>(y) * page.width * 3]);
  }
  return rgb;
}

}  // namespace escp
