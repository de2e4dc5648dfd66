#include "libs/escdecode/cell_rows.h"
#include "libs/escdecode/dot_weights.h"

#include <algorithm>
#include <array>

namespace escp {
namespace {

// The raster resolutions are 14400 / spacing (ESC (D: base, spacing down, spacing across).
constexpr int kSpacingBase = 14400;

}  // namespace

bool rasterResolution(const Frame& f, Resolution* out) {
  if (f.kind != FrameKind::kEscCommand || f.name != "(D" || f.params.size() != 4) return false;
  const int base = f.params[0] | (f.params[1] << 8);
  const int down = f.params[2], across = f.params[3];
  if (base != kSpacingBase || down == 0 || across == 0) return false;
  *out = Resolution{base / across, base / down};
  return true;
}

CellShape cellShape(int scale, Resolution r) {
  if (r.x > r.y && r.y > 0 && r.x % r.y == 0) return CellShape{scale * (r.x / r.y), scale};
  if (r.y > r.x && r.x > 0 && r.y % r.x == 0) return CellShape{scale, scale * (r.y / r.x)};
  return CellShape{scale, scale};
}

uint64_t CellRows::heldBytes() const {
  uint64_t held = 0;
  for (const auto& plane : ink_) held += plane.capacity() * sizeof(uint32_t);
  return held;
}

bool CellRows::handOver() {
  if (y_ < 0) return true;
  const uint32_t* ink[kPlanes];
  for (int j = 0; j < kPlanes; ++j) {
    ink_[j].resize(static_cast<size_t>(width_), 0);
    ink[j] = ink_[j].data();
  }
  const bool more = done_(y_, width_, ink);
  for (auto& plane : ink_) std::fill(plane.begin(), plane.end(), 0u);
  y_ = -1;
  return more;
}

bool CellRows::reach(int64_t line) {
  return y_ < 0 || line / shape_.down <= y_ || handOver();
}

bool CellRows::add(int plane, const std::vector<uint8_t>& bytes, int64_t line) {
  if (!reach(line)) return false;
  y_ = line / shape_.down;
  const int across = shape_.across;
  const int dots = static_cast<int>(bytes.size()) * 4;
  width_ = std::max(width_, (dots + across - 1) / across);
  std::vector<uint32_t>& r = ink_[plane];
  if (r.size() < static_cast<size_t>(width_)) r.resize(static_cast<size_t>(width_), 0);
  if (across % 4 == 0) {
    for (size_t b = 0; b < bytes.size(); ++b)
      if (bytes[b]) r[b * 4 / static_cast<size_t>(across)] += kByteWeight[bytes[b]];
  } else {
    for (int x = 0; x < dots; ++x) {
      const int code = (bytes[static_cast<size_t>(x / 4)] >> (6 - 2 * (x % 4))) & 3;
      if (code) r[static_cast<size_t>(x / across)] += kDotWeight[code];
    }
  }
  return true;
}

bool CellRows::finish() {
  return handOver();
}

void CellRows::reset(CellShape shape) {
  shape_ = shape;
  y_ = -1;
  width_ = 0;
  for (auto& plane : ink_) plane.clear();
}

}  // namespace escp
