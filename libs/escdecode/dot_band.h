// A window of one page's dots, decoded from the stream's bytes each time it
// is wanted: only the rows and columns asked for are kept, so a view at one
// pixel per dot needs the memory of the view, not of the page.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "libs/escdecode/dot_pages.h"

namespace escp {

struct DotBand {
  int x0 = 0;  // dots
  int y0 = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> codes[kPlanes];  // dot codes 0..3, row-major

  int dot(int plane, int x, int y) const { return codes[plane][static_cast<size_t>(y - y0) * width + (x - x0)]; }
};

// The dots of page `page` (0-based) in [x0, x0 + width) x [y0, y0 + height);
// dots the page does not reach are blank. False with a message when the
// stream cannot be decoded up to the end of the window, or on a cancel.
bool decodeBand(const uint8_t* data, size_t size, int page, int x0, int y0, int width, int height, DotBand* out,
                std::string* error, const std::atomic<int>* cancel = nullptr);

// The parts of a band's decode that the indexed decode shares: an empty band
// for a window (false with a message when it is out of range), and a raster
// row lying on `line` put into it.
bool startBand(int x0, int y0, int width, int height, DotBand* out, std::string* error);
void putRow(const Frame& row, int64_t line, DotBand* band);

// RGB picture of a band, 3 bytes per dot (all inks mixed, or one alone).
std::vector<uint8_t> composite(const DotBand& band, int only = -1);

}  // namespace escp
