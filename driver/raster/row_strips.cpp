#include "driver/raster/row_strips.h"

#include <cstring>

#include "Base.h"

namespace rx3 {
namespace {

// About this much room per strip: a few rows of a wide band, enough to
// make a strip's fixed cost (a render call, a claim) small beside its work.
constexpr size_t kStripBytes = size_t{512} << 10;
constexpr int32_t kMaxStripRows = 16;
constexpr size_t kRenderedBytes = 8;

template <typename T>
T* allocate(size_t count) {
  void* p = jMemAlloc(count * sizeof(T));
  if (p) std::memset(p, 0, count * sizeof(T));
  return static_cast<T*>(p);
}

}  // namespace

StripRing::~StripRing() {
  release();
}

void StripRing::release() {
  for (StripData& d : strips_) {
    jMemFree(d.rendered);
    jMemFree(d.records);
    jMemFree(d.inks);
    jMemFree(d.kinds);
    d = StripData{};
  }
  for (ConvertedPixel*& r : sideRecords_) {
    jMemFree(r);
    r = nullptr;
  }
  jMemFree(planes_);
  jMemFree(planar_);
  planes_ = planar_ = nullptr;
  recordsPerRow_ = width_ = 0;
  planeBytes_ = 0;
}

bool StripRing::fit(int32_t recordsPerRow, int32_t width, size_t planeBytes, bool separate, int32_t maxRows) {
  if (planes_ && recordsPerRow <= recordsPerRow_ && width <= width_ && planeBytes <= planeBytes_ &&
      separate == separate_ && maxRows == maxRows_)
    return true;
  release();
  const size_t records = static_cast<size_t>(recordsPerRow);
  const size_t perRow = static_cast<size_t>(width) * kRenderedBytes +
                        records * (separate ? 8 * sizeof(int16_t) + 1 : sizeof(ConvertedPixel));
  size_t rows = kStripBytes / perRow;
  rows = rows < 1 ? 1 : rows > kMaxStripRows ? kMaxStripRows : rows;
  if (maxRows > 0 && rows > static_cast<size_t>(maxRows)) rows = static_cast<size_t>(maxRows);
  const size_t cells = rows * records;
  bool ok = true;
  for (StripData& d : strips_) {
    d.rendered = allocate<uint8_t>(rows * static_cast<size_t>(width) * kRenderedBytes);
    if (separate) {
      d.inks = allocate<int16_t>(cells * 8);
      d.kinds = allocate<uint8_t>(cells);
      ok = ok && d.inks && d.kinds;
    } else {
      d.records = allocate<ConvertedPixel>(cells);
      ok = ok && d.records;
    }
    ok = ok && d.rendered;
  }
  if (separate)
    for (ConvertedPixel*& r : sideRecords_) {
      r = allocate<ConvertedPixel>(records);
      ok = ok && r;
    }
  planes_ = allocate<uint8_t>(planeBytes);
  planar_ = allocate<uint8_t>(planeBytes);
  if (!ok || !planes_ || !planar_) {
    release();
    return false;
  }
  recordsPerRow_ = recordsPerRow;
  width_ = width;
  planeBytes_ = planeBytes;
  separate_ = separate;
  maxRows_ = maxRows;
  rowsPerStrip_ = static_cast<int32_t>(rows);
  return true;
}

void StripRing::clearLeftOf(int32_t offset) {
  if (offset <= 0) return;
  const size_t bytes = static_cast<size_t>(offset) * sizeof(ConvertedPixel);
  if (separate_) {
    for (ConvertedPixel* r : sideRecords_) std::memset(r, 0, bytes);
    return;
  }
  for (StripData& d : strips_)
    for (int32_t i = 0; i < rowsPerStrip_; ++i)
      std::memset(d.records + static_cast<size_t>(i) * static_cast<size_t>(recordsPerRow_), 0, bytes);
}

bool StripRing::make(const PipelineBand& b, int32_t index, StripData* out, int side) {
  const int32_t r0 = index * rowsPerStrip_;
  const int32_t r1 = r0 + rowsPerStrip_ < b.rows ? r0 + rowsPerStrip_ : b.rows;
  if (!jGdcDraw(b.drawing, out->rendered, b.x0, b.yTop - r1, b.x1, b.yTop - r0, b.option)) return false;
  const int32_t width = b.x1 - b.x0;
  const size_t rowBytes = static_cast<size_t>(width) * kRenderedBytes;
  const size_t stride = static_cast<size_t>(recordsPerRow_);
  for (int32_t i = 0; i < r1 - r0; ++i) {
    const size_t at = static_cast<size_t>(i) * stride;
    ConvertedPixel* records = separate_ ? sideRecords_[side] : out->records + at;
    convertBand(b.transform, b.colorMode, out->rendered + static_cast<size_t>(i) * rowBytes, records + b.offset, width);
    if (separate_) separateLineInks(b.separation, records, b.offset + width, out->inks + at * 8, out->kinds + at);
  }
  return true;
}

void StripRing::diffuse(const PipelineBand& b, const StripData& d, int32_t inStrip, int32_t r, uint8_t* planes,
                        uint64_t inkTotals[8]) const {
  const size_t at = static_cast<size_t>(inStrip) * static_cast<size_t>(recordsPerRow_);
  std::memset(planes, 0, planeBytes_);
  const SeparatedLine separated{separate_ ? d.inks + at * 8 : nullptr, separate_ ? d.kinds + at : nullptr};
  halftoneLineInto(b.state, b.firstLine + r, separate_ ? nullptr : d.records + at, separate_ ? &separated : nullptr,
                   b.offset + (b.x1 - b.x0), planes, inkTotals);
}

}  // namespace rx3
