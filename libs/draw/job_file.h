// The job file: what a host design program hands the print queue. Our own
// format, read and written only here (tools and tests include this header).
//
// Layout, little-endian throughout:
//   header   8 bytes magic "VLXJOB\r\n", uint32 version (1), uint32 flags (0)
//   chunks   4-byte tag, uint32 payload length, uint32 CRC-32 of the
//            payload, payload; the file ends with the chunk "END " (empty)
// Chunks: "MCHN" machine name (1..63 bytes), "DSET" device-setting block,
// "TILE" tiling block (122 bytes, optional), "TITL" title (0..31 bytes),
// "INFO" device information (0..255 bytes), "AREA" page area (28 bytes),
// "PREV" preview (100 x 100 colour values), "ITEM" one drawn item (any
// number, in drawing order). MCHN, DSET and AREA are required, the others
// single at most; a chunk of an unknown tag is skipped, so later versions
// can add some. Every length is checked against its chunk's limit and the
// file's size before anything is read or allocated.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace jobfile {

constexpr uint32_t kVersion = 1;
constexpr std::size_t kTileBlockBytes = 122;
constexpr int kPreviewSide = 100;
constexpr std::size_t kMaxMachine = 63;
constexpr std::size_t kMaxTitle = 31;
constexpr std::size_t kMaxInfo = 255;
constexpr std::size_t kMaxSettingBlock = 64 * 1024;
constexpr int32_t kMaxImageSide = 65536;
constexpr uint64_t kMaxImageBytes = 1ull << 30;
constexpr std::size_t kMaxItems = 100000;
// The farthest a page coordinate (in millimetres, either sign) may lie: far
// longer than any roll, and well inside what the printing-device layer's
// 32-bit dot numbers hold at the finest resolution.
constexpr double kMaxPageMillimetres = 1e6;

// What one item draws; the same values as the render context's item kinds.
enum ItemKind : int32_t { kRgbImage = 1, kCmykImage = 2, kRgbFill = 3, kCmykFill = 4 };

// Where an image item's pixels lie when they were left in its file: read a
// few rows at a time as a render needs them (see image_rows.h).
struct PixelsInFile {
  std::string path;
  uint64_t offset = 0;    // of the first pixel's byte
  uint64_t fileSize = 0;  // the file's size when read: a file changed since is not read from
};

// A placed image or a filled rectangle, in page units, y growing upward.
struct Item {
  int32_t kind = kRgbFill;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int32_t width = 0, height = 0;               // images: pixels
  std::vector<uint8_t> pixels;                 // images: rows top first, 3 (RGB) or 4 (CMYK) bytes each
  std::shared_ptr<const PixelsInFile> inFile;  // images read with kRowsInFile: pixels stays empty
  uint8_t color[4] = {};                       // fills: RGB or CMYK
};

// Bytes of one row of an image item.
inline std::size_t imageRowBytes(const Item& item) {
  return static_cast<std::size_t>(item.width) * (item.kind == kRgbImage ? 3 : 4);
}

struct Area {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // page units
  float mmPerUnitX = 1, mmPerUnitY = 1;
  int32_t tiled = 0;
};

struct Job {
  std::string machine;
  std::vector<uint8_t> settings;  // device-setting block (see setting_block.h)
  bool hasTiling = false;
  std::array<uint8_t, kTileBlockBytes> tiling{};
  std::string title;
  std::string info;
  Area area;
  std::vector<uint32_t> preview;  // empty, or 100 x 100 colour values (red lowest), top row first
  std::vector<Item> items;
};

enum class Status {
  Ok,
  Unreadable,  // missing, locked or unreadable
  NotAJob,     // another kind of file
  NewerVersion,
  Truncated,
  TooLarge,   // a length beyond its limit
  Corrupt,    // a checksum that does not match
  Malformed,  // a field or chunk that breaks a rule above
  OffPage,    // the page or an item lies beyond kMaxPageMillimetres (or is no number)
};
const char* statusText(Status status);

// What a read takes: the description (everything but the drawing and the
// preview) always; the preview and the drawing on request. Chunks not taken
// are skipped unread (but their lengths are still checked). With
// kRowsInFile (files only, beside kDrawing), an image item's pixels are left
// in the file: their checksum is checked as they stream past, and the item
// tells where they lie, so that a drawing of any size costs only its items'
// descriptions. kItemHeads (without kDrawing) reads only each item's kind,
// rectangle and image size, skipping the rest unchecked: enough to tell
// whether the drawing fits a page, for the cost of a seek per item.
enum Parts : unsigned {
  kDescription = 0,
  kPreview = 1,
  kDrawing = 2,
  kEverything = 3,
  kRowsInFile = 4,
  kItemHeads = 8
};

Status readJobFile(const char* path, unsigned parts, Job* job);
// The same from bytes in memory.
Status parseJob(const uint8_t* data, std::size_t size, unsigned parts, Job* job);

// Whether the job keeps every rule above (what encodeJob and writeJobFile
// check first).
bool jobIsSound(const Job& job);
// The file's bytes; false when a field breaks a rule above.
bool encodeJob(const Job& job, std::vector<uint8_t>* out);
// Writes the file atomically (a reader sees the old file or the whole new
// one); false when the job breaks a rule or the file cannot be written.
bool writeJobFile(const char* path, const Job& job);

uint32_t crc32(const uint8_t* data, std::size_t size);

}  // namespace jobfile
