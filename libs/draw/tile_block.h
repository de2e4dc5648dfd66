// The tiling block of a job (122 bytes, ours): a page too large for the
// machine is printed as a grid of tiles, each its own page, neighbours
// overlapping so that they can be joined.
//   0   uint32 version (1)
//   4   int32 columns (1..64)
//   8   int32 rows (1..64)
//   12  float overlap, page units, added on every side shared with a
//       neighbour (0 <= overlap, less than half a cell)
//   16  zero to the end
// Tiles go row by row from the top, left to right in each row.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "libs/draw/job_file.h"

namespace jdraw {

constexpr int kMaxTileSplit = 64;

struct TileGrid {
  int32_t columns = 1;
  int32_t rows = 1;
  float overlap = 0;
};

struct Tile {
  float x0, y0, x1, y1;  // page units
};

std::array<uint8_t, jobfile::kTileBlockBytes> encodeTileBlock(const TileGrid& grid);
// False when the block is not a sound tiling block.
bool decodeTileBlock(const void* block, TileGrid* grid);
// The tiles of an area; empty when the grid does not fit the area.
std::vector<Tile> tilesOf(const TileGrid& grid, const jobfile::Area& area);

}  // namespace jdraw
