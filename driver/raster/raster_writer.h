// The raster body of a page: one ESC/P raster line per call (eight planes,
// or four when inkSet is 2) and vertical skips over blank stretches.
#pragma once

#include "PrintDriver.h"
#include "driver/raster/band_convert.h"
#include "driver/raster/halftone.h"

namespace rx3 {

// Polls the port, separates and halftones line `line` of count records
// (from the page's left edge), adds the inks used to pageInk, and writes
// every plane's packed row followed by a one-line advance. Does not flush.
// Returns the printing flag; writes nothing once it is 0.
int writeRasterLine(DeviceRecord* record, int line, const ConvertedPixel* pixels, int count);

// The same for a line halftoned beforehand by halftoneLineInto into planes
// (cleared first), with its ink totals: polls, accounts and writes it.
// planar, when not null, is room for the eight plane rows laid out
// contiguously, which pack faster.
int writeHalftonedLine(DeviceRecord* record, int line, const uint8_t* planes, const uint64_t totals[8], int count,
                       uint8_t* planar);

// The same as writeRasterLine for a line whose inks were separated
// beforehand by separateLineInks (the same bytes, in two steps).
int writeSeparatedLine(DeviceRecord* record, int line, const SeparatedLine& separated, int count);

// Moves the paper down `lines` raster lines (nothing for lines <= 0) and
// flushes. Returns the printing flag; writes nothing once it is 0.
int writeVerticalSkip(DeviceRecord* record, int lines);

}  // namespace rx3
