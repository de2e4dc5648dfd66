#include "libs/escdecode/dot_band.h"

#include <algorithm>

#include "libs/escdecode/frame_walk.h"

namespace escp {
namespace {

// Largest band asked for: a screen's worth of dots many times over.
constexpr int64_t kMaxBandDots = int64_t{1} << 26;

}  // namespace

bool startBand(int x0, int y0, int width, int height, DotBand* out, std::string* error) {
  if (x0 < 0 || y0 < 0 || width < 0 || height < 0 || int64_t{width} * height > kMaxBandDots) {
    *error = "band out of range";
    return false;
  }
  out->x0 = x0;
  out->y0 = y0;
  out->width = width;
  out->height = height;
  for (auto& plane : out->codes) plane.assign(static_cast<size_t>(width) * height, 0);
  return true;
}

void putRow(const Frame& f, int64_t line, DotBand* band) {
  if (f.kind != FrameKind::kRasterRow || line < band->y0 || line >= int64_t{band->y0} + band->height) return;
  const int plane = planeOfColorCode(f.colorCode);
  if (plane < 0) return;
  const int dots = static_cast<int>(f.unpacked.size()) * 4;
  const int x0 = band->x0;
  uint8_t* row = &band->codes[plane][static_cast<size_t>(line - band->y0) * band->width];
  for (int x = x0; x < std::min(dots, x0 + band->width); ++x)
    row[x - x0] = static_cast<uint8_t>((f.unpacked[static_cast<size_t>(x / 4)] >> (6 - 2 * (x % 4))) & 3);
}

bool decodeBand(const uint8_t* data, size_t size, int page, int x0, int y0, int width, int height, DotBand* out,
                std::string* error, const std::atomic<int>* cancel) {
  if (page < 0) {
    *error = "band out of range";
    return false;
  }
  if (!startBand(x0, y0, width, height, out, error)) return false;
  const int64_t yEnd = int64_t{y0} + height;
  int pageNow = 0;
  int64_t line = 0;
  const auto put = [&](const Frame& f) {
    if (f.kind == FrameKind::kFormFeed) {
      line = 0;
      return ++pageNow <= page ? Step::kOn : Step::kEnough;  // nothing after the page is needed
    }
    if (pageNow != page) return Step::kOn;
    if (f.kind == FrameKind::kVerticalMove) {
      if (!movePaper(f, &line, error)) return Step::kFail;
      return line < yEnd || height == 0 ? Step::kOn : Step::kEnough;
    }
    putRow(f, line, out);
    return Step::kOn;
  };
  return walkFrames(data, size, put, error, cancel) != Walk::kFailed;
}

std::vector<uint8_t> composite(const DotBand& band, int only) {
  static constexpr double kCoverage[4] = {0.0, 1024.0 / kFullCoverage, 2048.0 / kFullCoverage, 1.0};
  std::vector<uint8_t> rgb(static_cast<size_t>(band.width) * band.height * 3);
  double coverage[kPlanes];
  for (size_t i = 0; i < static_cast<size_t>(band.width) * band.height; ++i) {
    for (int j = 0; j < kPlanes; ++j) coverage[j] = kCoverage[band.codes[j][i]];
    inkColour(coverage, only, &rgb[i * 3]);
  }
  return rgb;
}

}  // namespace escp
