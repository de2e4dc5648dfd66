// The layout rules that the job file's reader and writer share (the format
// itself is told in job_file.h): header and chunk sizes, the tags and their
// limits, the byte order, the checks a sound job passes, and the item
// payload. Both sides take them from here, so a change to the format is
// made once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "libs/draw/job_file.h"

namespace jobfile::format {

constexpr char kMagic[8] = {'V', 'L', 'X', 'J', 'O', 'B', '\r', '\n'};
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kChunkHeaderBytes = 12;
constexpr std::size_t kAreaBytes = 28;
constexpr std::size_t kItemHeadBytes = 20;                   // kind and rectangle
constexpr std::size_t kImageHeadBytes = kItemHeadBytes + 8;  // kind, rectangle, width, height
constexpr std::size_t kPreviewBytes = kPreviewSide * kPreviewSide * 4;

using Tag = uint32_t;
constexpr Tag tag(const char (&t)[5]) {
  return uint32_t(uint8_t(t[0])) | uint32_t(uint8_t(t[1])) << 8 | uint32_t(uint8_t(t[2])) << 16 |
         uint32_t(uint8_t(t[3])) << 24;
}
constexpr Tag kMachineTag = tag("MCHN"), kSettingTag = tag("DSET"), kTileTag = tag("TILE"), kTitleTag = tag("TITL"),
              kInfoTag = tag("INFO"), kAreaTag = tag("AREA"), kPreviewTag = tag("PREV"), kItemTag = tag("ITEM"),
              kEndTag = tag("END ");

// Each known chunk: its limit, whether it may repeat, which read part needs it.
struct ChunkRule {
  Tag tag;
  uint64_t minBytes, maxBytes;
  bool repeats;
  unsigned part;  // kDescription: always read
};
// Null for a tag of no known chunk (skipped by a reader).
const ChunkRule* ruleOf(Tag t);

inline uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline float getFloat(const uint8_t* p) {
  uint32_t bits = get32(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}
inline void put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(uint8_t(v >> (8 * i)));
}
inline void putFloat(std::vector<uint8_t>* out, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  put32(out, bits);
}

bool fitsText(const std::string& text, std::size_t max);
bool areaIsSound(const Area& area);
// The page and every item's rectangle lie within kMaxPageMillimetres.
bool drawingFitsPage(const Job& job);
// An item with its pixels in memory.
bool itemIsSound(const Item& item);
// An image item whose pixels (pixelBytes of them) stay in the file.
bool itemInFileIsSound(const Item& item, uint64_t pixelBytes);

// The kind and rectangle of an item from its payload's first kItemHeadBytes,
// and an image's size from the next 8.
void readItemHead(const uint8_t* p, Item* item);
void readImageSize(const uint8_t* p, Item* item);
// An item chunk's payload, taken over (an image's pixels keep its block).
Status decodeItem(std::vector<uint8_t>& payload, Item* item);
// An item chunk's payload but an image's pixels, which follow it as they lie.
std::vector<uint8_t> encodeItemHead(const Item& item);
// The CRC-32 of bytes that follow those whose CRC-32 is crc.
uint32_t crc32More(uint32_t crc, const uint8_t* data, std::size_t size);

}  // namespace jobfile::format
