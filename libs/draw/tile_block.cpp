#include "libs/draw/tile_block.h"

#include <algorithm>
#include <cstring>

namespace jdraw {
namespace {

constexpr uint32_t kVersion = 1;

}  // namespace

std::array<uint8_t, jobfile::kTileBlockBytes> encodeTileBlock(const TileGrid& grid) {
  std::array<uint8_t, jobfile::kTileBlockBytes> block{};
  const uint32_t fields[4] = {kVersion, static_cast<uint32_t>(grid.columns), static_cast<uint32_t>(grid.rows), 0};
  std::memcpy(block.data(), fields, 12);
  std::memcpy(block.data() + 12, &grid.overlap, 4);
  return block;
}

bool decodeTileBlock(const void* block, TileGrid* grid) {
  if (!block) return false;
  const auto* p = static_cast<const uint8_t*>(block);
  uint32_t version;
  std::memcpy(&version, p, 4);
  std::memcpy(&grid->columns, p + 4, 4);
  std::memcpy(&grid->rows, p + 8, 4);
  std::memcpy(&grid->overlap, p + 12, 4);
  for (std::size_t i = 16; i < jobfile::kTileBlockBytes; ++i)
    if (p[i] != 0) return false;
  return version == kVersion && grid->columns >= 1 && grid->columns <= kMaxTileSplit && grid->rows >= 1 &&
         grid->rows <= kMaxTileSplit && grid->overlap >= 0;
}

std::vector<Tile> tilesOf(const TileGrid& grid, const jobfile::Area& area) {
  std::vector<Tile> tiles;
  const float cellW = (area.x1 - area.x0) / grid.columns;
  const float cellH = (area.y1 - area.y0) / grid.rows;
  if (!(cellW > 0) || !(cellH > 0) || !(grid.overlap * 2 < std::min(cellW, cellH))) return tiles;
  for (int r = 0; r < grid.rows; ++r) {
    for (int c = 0; c < grid.columns; ++c) {
      Tile t;
      t.x0 = c == 0 ? area.x0 : area.x0 + cellW * c - grid.overlap;
      t.x1 = c == grid.columns - 1 ? area.x1 : area.x0 + cellW * (c + 1) + grid.overlap;
      t.y1 = r == 0 ? area.y1 : area.y1 - cellH * r + grid.overlap;
      t.y0 = r == grid.rows - 1 ? area.y0 : area.y1 - cellH * (r + 1) - grid.overlap;
      tiles.push_back(t);
    }
  }
  return tiles;
}

}  // namespace jdraw
