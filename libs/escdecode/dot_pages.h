// The raster of a decoded stream turned back into ink dots, page by page:
// every printed row lands at the line the paper moves have reached, and
// each dot counts with the ink it lays down (small 1024, medium 2048,
// large 4080 of full coverage 4080). Pages can be summed in cells of
// scale x scale dots, which bounds the memory of a soft proof.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "libs/escdecode/escp_decoder.h"

namespace escp {

constexpr int kPlanes = 8;
constexpr uint32_t kFullCoverage = 4080;

struct DotPage {
  int scale = 1;   // dots down a cell, and across unless scaleX says otherwise
  int scaleX = 0;  // dots across a cell where the dots are not square (1440 x 720 dpi), else 0
  int shift = 0;   // cells hold their sums shifted right by this (very long pages)
  int width = 0;   // cells
  int height = 0;  // cells
  int dotWidth = 0;
  int dotHeight = 0;
  std::vector<uint32_t> ink[kPlanes];  // summed dot weights per cell, row-major

  int across() const { return scaleX ? scaleX : scale; }
  uint32_t cell(int plane, int x, int y) const { return ink[plane][static_cast<size_t>(y) * width + x]; }
  // Dot code (0..3) at a dot; only meaningful at scale 1.
  int dot(int plane, int x, int y) const;
};

// Builds the pages of a decoded stream (a form feed ends a page; rows
// after the last form feed make a last page). False with a message when a
// row is placed in an impossible way.
bool buildPages(const Stream& stream, int scale, std::vector<DotPage>* pages, std::string* error);

// The same straight from the stream's bytes, decoding one frame at a time:
// the memory is that of the cells, never the stream's unpacked rows. A set
// cancel flag ends it (false, "cancelled"); with a page limit, decoding
// ends once that many pages are built.
bool buildPagesEachFrame(const uint8_t* data, size_t size, int scale, std::vector<DotPage>* pages, std::string* error,
                         const std::atomic<int>* cancel = nullptr, size_t pageLimit = 0);

// Mean coverage (0..1) of one ink over the cells [x0, x1) x [y0, y1).
double meanCoverage(const DotPage& page, int plane, int x0, int y0, int x1, int y1);

// Screen colour of a cell from each ink's coverage (0..1): all inks as they
// print (only = -1, printed_colour.h), or one ink on its own.
void inkColour(const double coverage[kPlanes], int only, uint8_t rgb[3]);

// The same for a row of `width` cells of `dotsPerCell` dots, each ink's
// sums shifted right by `shift`: 3 bytes a cell into rgb.
void inkColours(const uint32_t* const ink[kPlanes], int width, int dotsPerCell, int shift, int only, uint8_t* rgb);

// RGB picture of a page, 3 bytes per cell: the inks as they print (or one
// ink alone).
std::vector<uint8_t> composite(const DotPage& page, int only = -1);

}  // namespace escp
