// The band render of the print run: jGdcDraw paints the scene of a render
// context (placed images and filled rectangles, in device dots) into a
// buffer of 8-byte pixels, top row first.
//
// Choices of this library: the buffer starts as "nothing drawn" (all bytes
// 0: only the dots no item covers are cleared, as every item writes whole
// pixels); items are painted in scene order, each clipped to the rectangle asked
// for; an image is sampled nearest-neighbour, the placed pixel (x, y) taking
// the source column (x - x0) * width / (x1 - x0) and the source row, counted
// from the image's top, (y1 - 1 - y) * height / (y1 - y0), in 64-bit
// arithmetic (the column stepped along the row, the same numbers). A malformed item (inverted rectangle, image without
// pixels or with a non-positive size) is skipped, never read. The render option is carried for the printing-device
// layer; this render knows no options.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Device.h"

namespace {

static_assert(std::endian::native == std::endian::little, "rendered pixels are stored as little-endian words");

// The largest render buffer taken: far above the page loop's chunks (about
// 20 MB) and safely addressable on the 32-bit build.
constexpr uint64_t kMaxRenderBytes = 512ull * 1024 * 1024;

struct Area {
  int32_t x0, y0, x1, y1;
};

// A rendered pixel as one little-endian word: red, green, blue in bytes
// 0..2, kind FF in byte 7.
uint64_t rgbPixel(const uint8_t* rgb) {
  return uint64_t{rgb[0]} | uint64_t{rgb[1]} << 8 | uint64_t{rgb[2]} << 16 | uint64_t{0xFF} << 56;
}

// Source order cyan, magenta, yellow, black; rendered order black first,
// kind FE in byte 7.
uint64_t cmykPixel(const uint8_t* cmyk) {
  return uint64_t{cmyk[3]} | uint64_t{cmyk[0]} << 8 | uint64_t{cmyk[1]} << 16 | uint64_t{cmyk[2]} << 24 |
         uint64_t{0xFE} << 56;
}

void putPixel(uint8_t* pixel, uint64_t word) {
  std::memcpy(pixel, &word, sizeof word);
}

template <bool Rgb>
uint64_t pixelOf(const uint8_t* from) {
  return Rgb ? rgbPixel(from) : cmykPixel(from);
}

// The pixel of pixelOf, written as its two 32-bit halves: on i386 a 64-bit
// word built from bytes is shifts across a register pair.
template <bool Rgb>
void paintPixel(uint8_t* pixel, const uint8_t* from) {
  const uint32_t colour =
      Rgb ? uint32_t{from[0]} | uint32_t{from[1]} << 8 | uint32_t{from[2]} << 16
          : uint32_t{from[3]} | uint32_t{from[0]} << 8 | uint32_t{from[1]} << 16 | uint32_t{from[2]} << 24;
  const uint32_t kind = uint32_t{Rgb ? 0xFFu : 0xFEu} << 24;
  std::memcpy(pixel, &colour, sizeof colour);
  std::memcpy(pixel + 4, &kind, sizeof kind);
}

// The stepping of paintRun: remainder and part are below placed, so their
// sum fits a Step of twice placed's range. Step is 32 bits wide whenever the
// placed width allows, as 64-bit sums are register pairs on i386.
template <bool Rgb, typename Step>
void stepRun(uint8_t* pixel, int32_t count, const uint8_t* source, size_t wholeBytes, Step part, Step remainder,
             Step placed) {
  constexpr size_t kSourceBytes = Rgb ? 3 : 4;
  uint8_t* const end = pixel + static_cast<size_t>(count > 0 ? count : 0) * 8;
  for (; pixel != end; pixel += 8) {
    paintPixel<Rgb>(pixel, source);
    source += wholeBytes;
    remainder += part;
    if (remainder >= placed) {
      remainder -= placed;
      source += kSourceBytes;
    }
  }
}

// count dots of one row from source: each dot takes the source pixel, then
// the source moves on by whole pixels and part / placed of one (a fill has
// whole 0, part 0 and stays on its colour). No division per dot; a source
// placed 1:1 is a straight copy.
template <bool Rgb>
void paintRun(uint8_t* pixel, int32_t count, const uint8_t* source, int64_t whole, int64_t part, int64_t remainder,
              int64_t placed) {
  constexpr size_t kSourceBytes = Rgb ? 3 : 4;
  if (whole == 0 && part == 0) {
    const uint64_t word = pixelOf<Rgb>(source);
    for (int32_t i = 0; i < count; ++i, pixel += 8) putPixel(pixel, word);
    return;
  }
  if (whole == 1 && part == 0) {
    for (int32_t i = 0; i < count; ++i, pixel += 8, source += kSourceBytes) paintPixel<Rgb>(pixel, source);
    return;
  }
  const size_t wholeBytes = static_cast<size_t>(whole) * kSourceBytes;
  if (placed <= INT32_MAX)
    stepRun<Rgb, uint32_t>(pixel, count, source, wholeBytes, static_cast<uint32_t>(part),
                           static_cast<uint32_t>(remainder), static_cast<uint32_t>(placed));
  else
    stepRun<Rgb, int64_t>(pixel, count, source, wholeBytes, part, remainder, placed);
}

bool itemIsSound(const jGdcItem& item) {
  if (item.x1 <= item.x0 || item.y1 <= item.y0) return false;
  switch (item.kind) {
    case J_GDC_RGB_IMAGE:
    case J_GDC_CMYK_IMAGE:
      return (item.pixels || item.row) && item.width > 0 && item.height > 0;
    case J_GDC_RGB_FILL:
    case J_GDC_CMYK_FILL:
      return true;
    default:
      return false;
  }
}

// False when an image's row cannot be had.
bool paintItem(const jGdcItem& item, const Area& area, uint8_t* buffer) {
  const int32_t left = item.x0 > area.x0 ? item.x0 : area.x0;
  const int32_t right = item.x1 < area.x1 ? item.x1 : area.x1;
  const int32_t bottom = item.y0 > area.y0 ? item.y0 : area.y0;
  const int32_t top = item.y1 < area.y1 ? item.y1 : area.y1;
  if (left >= right || bottom >= top) return true;
  const int64_t areaWidth = static_cast<int64_t>(area.x1) - area.x0;
  const int64_t placedWidth = static_cast<int64_t>(item.x1) - item.x0;
  const int64_t placedHeight = static_cast<int64_t>(item.y1) - item.y0;
  const bool rgb = item.kind == J_GDC_RGB_IMAGE || item.kind == J_GDC_RGB_FILL;
  const bool image = item.kind == J_GDC_RGB_IMAGE || item.kind == J_GDC_CMYK_IMAGE;
  const int sourceBytes = rgb ? 3 : 4;
  // An image read through its row call: each source row copied once into a
  // row of this paint's own, so that renders on two threads never share one.
  std::vector<uint8_t> copied;
  int64_t copiedRow = -1;
  if (image && !item.pixels) copied.resize(static_cast<size_t>(item.width) * sourceBytes);
  // 64-bit rows: a bottom edge at the smallest int32 must end the loop, not wrap it.
  for (int64_t y = static_cast<int64_t>(top) - 1; y >= bottom; --y) {
    uint8_t* row = buffer + static_cast<size_t>((static_cast<int64_t>(area.y1) - 1 - y) * areaWidth * 8);
    const uint8_t* sourceRow = nullptr;
    if (image) {
      const int64_t sy = (static_cast<int64_t>(item.y1) - 1 - y) * item.height / placedHeight;
      if (item.pixels) {
        sourceRow = item.pixels + static_cast<size_t>(sy) * static_cast<size_t>(item.width) * sourceBytes;
      } else {
        if (sy != copiedRow && item.row(item.rowSource, static_cast<int32_t>(sy), copied.data()) != 1) return false;
        copiedRow = sy;
        sourceRow = copied.data();
      }
    }
    uint8_t* pixel = row + static_cast<size_t>(static_cast<int64_t>(left) - area.x0) * 8;
    const int32_t count = static_cast<int32_t>(static_cast<int64_t>(right) - left);
    if (!image) {
      if (rgb)
        paintRun<true>(pixel, count, item.color, 0, 0, 0, 1);
      else
        paintRun<false>(pixel, count, item.color, 0, 0, 0, 1);
      continue;
    }
    // The source column (x - x0) * width / placedWidth, stepped from dot to
    // dot: a quotient and a remainder carried on, no division per dot.
    const int64_t start = (static_cast<int64_t>(left) - item.x0) * item.width;
    int64_t sx = start / placedWidth;
    int64_t remainder = start % placedWidth;
    const int64_t whole = item.width / placedWidth;
    const int64_t part = item.width % placedWidth;
    const uint8_t* source = sourceRow + static_cast<size_t>(sx) * sourceBytes;
    if (rgb)
      paintRun<true>(pixel, count, source, whole, part, remainder, placedWidth);
    else
      paintRun<false>(pixel, count, source, whole, part, remainder, placedWidth);
  }
  return true;
}

// The part of an item inside the area, in area rows (top row 0) and
// columns; false when they do not meet.
bool coveredPart(const jGdcItem& item, const Area& area, Area* part) {
  const int64_t left = std::max<int64_t>(item.x0, area.x0), right = std::min<int64_t>(item.x1, area.x1);
  const int64_t bottom = std::max<int64_t>(item.y0, area.y0), top = std::min<int64_t>(item.y1, area.y1);
  if (left >= right || bottom >= top) return false;
  *part = Area{static_cast<int32_t>(left - area.x0), static_cast<int32_t>(int64_t{area.y1} - top),
               static_cast<int32_t>(right - area.x0), static_cast<int32_t>(int64_t{area.y1} - bottom)};
  return true;
}

// Clears the dots of the area that no sound item covers, row by row
// between the items' spans (taken left to right). Without the item list (no
// memory for it) everything is cleared.
void clearUncovered(const jGdcScene& scene, const Area& area, uint8_t* pixels) {
  const size_t width = static_cast<size_t>(int64_t{area.x1} - area.x0);
  const int64_t height = int64_t{area.y1} - area.y0;
  std::vector<Area> parts;
  try {
    for (int32_t i = 0; i < scene.count; ++i) {
      Area part;
      if (itemIsSound(scene.items[i]) && coveredPart(scene.items[i], area, &part)) parts.push_back(part);
    }
  } catch (...) {
    std::memset(pixels, 0, width * static_cast<size_t>(height) * 8);
    return;
  }
  std::sort(parts.begin(), parts.end(), [](const Area& a, const Area& b) { return a.x0 < b.x0; });
  for (int64_t row = 0; row < height; ++row) {
    uint8_t* line = pixels + static_cast<size_t>(row) * width * 8;
    int64_t clearFrom = 0;  // dots left of this are covered or cleared
    for (const Area& part : parts) {
      if (row < part.y0 || row >= part.y1 || part.x1 <= clearFrom) continue;
      if (part.x0 > clearFrom) std::memset(line + clearFrom * 8, 0, static_cast<size_t>(part.x0 - clearFrom) * 8);
      clearFrom = part.x1;
    }
    if (clearFrom < static_cast<int64_t>(width))
      std::memset(line + clearFrom * 8, 0, (width - static_cast<size_t>(clearFrom)) * 8);
  }
}

}  // namespace

JDEVICE_API int jGdcDraw(jGdc* context, void* buffer, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t option) {
  (void)option;
  if (!context || !buffer || x1 <= x0 || y1 <= y0) return 0;
  const uint64_t width = static_cast<uint64_t>(static_cast<int64_t>(x1) - x0);
  const uint64_t height = static_cast<uint64_t>(static_cast<int64_t>(y1) - y0);
  if (width > kMaxRenderBytes / 8 || height > kMaxRenderBytes / 8 / width) return 0;
  auto* pixels = static_cast<uint8_t*>(buffer);
  const jGdcScene* scene = context->scene;
  if (!context->hasContent || !scene || !scene->items || scene->count <= 0) {
    std::memset(pixels, 0, static_cast<size_t>(width * height * 8));
    return 1;
  }
  const Area area{x0, y0, x1, y1};
  clearUncovered(*scene, area, pixels);
  for (int32_t i = 0; i < scene->count; ++i) {
    const jGdcItem& item = scene->items[i];
    if (itemIsSound(item) && !paintItem(item, area, pixels)) return 0;
  }
  return 1;
}
