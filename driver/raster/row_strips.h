// The pipeline's work on a strip of a band's rows: the render and the
// conversion (with the separation of the inks when the halftoner takes
// them), into room of its own, and the diffusion of one row of it. The
// ring holds kPipelineSlots strips and one spare, sized for the widest
// band so far.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/raster/row_pipeline.h"

namespace rx3 {

// A strip's rows, rowsPerStrip of each, at the ring's strides.
struct StripData {
  uint8_t* rendered;        // rendered pixels
  ConvertedPixel* records;  // converted records (bands not separated)
  int16_t* inks;            // 8 inks per record (separated bands)
  uint8_t* kinds;           // a diffusion kind per record (separated bands)
};

class StripRing {
 public:
  StripRing() = default;
  ~StripRing();
  StripRing(const StripRing&) = delete;
  StripRing& operator=(const StripRing&) = delete;

  // Keeps or makes room for bands of up to recordsPerRow records, width
  // rendered pixels and planeBytes of dot planes, strips of at most maxRows
  // rows (0: by size); false when it cannot be had. Only while no strip is
  // being made.
  bool fit(int32_t recordsPerRow, int32_t width, size_t planeBytes, bool separate, int32_t maxRows);
  int32_t rowsPerStrip() const { return rowsPerStrip_; }
  StripData* slot(int i) { return &strips_[i]; }
  StripData* spare() { return &strips_[kPipelineSlots]; }
  // Records left of offset are never converted: they must read nothing
  // drawn, whatever an earlier band left there.
  void clearLeftOf(int32_t offset);

  // Renders and converts strip `index` of band b into out; side 0 is the
  // helper, 1 the caller (each separates through a row of its own). False
  // when the render failed.
  bool make(const PipelineBand& b, int32_t index, StripData* out, int side);
  // Diffuses row r of the band (row `inStrip` of strip d) into planes.
  void diffuse(const PipelineBand& b, const StripData& d, int32_t inStrip, int32_t r, uint8_t* planes,
               uint64_t inkTotals[8]) const;

  // The caller's room for the row it writes.
  uint8_t* planes() { return planes_; }
  uint8_t* planar() { return planar_; }
  uint64_t* inkTotals() { return inkTotals_; }

 private:
  void release();

  StripData strips_[kPipelineSlots + 1] = {};
  ConvertedPixel* sideRecords_[2] = {};
  uint8_t* planes_ = nullptr;
  uint8_t* planar_ = nullptr;
  uint64_t inkTotals_[8] = {};
  int32_t recordsPerRow_ = 0;
  int32_t width_ = 0;
  size_t planeBytes_ = 0;
  bool separate_ = false;
  int32_t maxRows_ = 0;
  int32_t rowsPerStrip_ = 1;
};

}  // namespace rx3
