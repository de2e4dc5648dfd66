#include "libs/escdecode/png_writer.h"

#include <stb_image_write.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "libs/stb/png_filter.h"
#include "platform/atomic_file.h"

namespace escp {
namespace {

void collect(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

// As the whole-picture writer deflates: stb's default level, zlib's defaults.
constexpr int kLevel = 8;
// A chunk's length is 31 bits: a longer picture goes on in the next IDAT.
constexpr uint64_t kMaxChunk = 0x7FFFFFFF;
constexpr size_t kOutBuffer = size_t{1} << 16;

void bigEndian(uint32_t v, uint8_t out[4]) {
  out[0] = static_cast<uint8_t>(v >> 24);
  out[1] = static_cast<uint8_t>(v >> 16);
  out[2] = static_cast<uint8_t>(v >> 8);
  out[3] = static_cast<uint8_t>(v);
}

}  // namespace

std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> png;
  if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3)
    return png;
  if (!stbi_write_png_to_func(collect, &png, width, height, 3, rgb.data(), width * 3)) png.clear();
  return png;
}

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
  const std::vector<uint8_t> png = encodePng(width, height, rgb);
  if (png.empty()) return false;
  return platform::saveFileAtomically(path.c_str(), png.data(), png.size());
}

struct PngRowWriter::State {
  platform::AtomicFile file;
  z_stream zip{};
  bool zipOpen = false;
  bool failed = false;
  int width = 0;
  int height = 0;
  int rows = 0;
  std::vector<uint8_t> lines;     // the row before and this one, side by side
  std::vector<uint8_t> filtered;  // filter byte and the filtered row
  std::vector<uint8_t> out;
  uint64_t chunkBytes = 0;  // of the IDAT chunk being written
  uint32_t chunkCrc = 0;

  ~State() {
    if (zipOpen) deflateEnd(&zip);
    platform::abandonAtomicFile(&file);
  }

  bool put(const void* data, size_t size) {
    if (!failed && !platform::writeAll(file.file, data, size)) failed = true;
    return !failed;
  }

  bool openChunk() {
    static const uint8_t kHead[8] = {0, 0, 0, 0, 'I', 'D', 'A', 'T'};
    chunkBytes = 0;
    chunkCrc = static_cast<uint32_t>(crc32(0L, kHead + 4, 4));
    return put(kHead, sizeof kHead);
  }

  // The chunk's length, known only now, goes back in its place.
  bool closeChunk() {
    uint8_t length[4], crc[4];
    bigEndian(static_cast<uint32_t>(chunkBytes), length);
    bigEndian(chunkCrc, crc);
    const int64_t back = static_cast<int64_t>(chunkBytes) + 8;
    if (failed || !platform::seekRelative(file.file, -back) || !put(length, 4) ||
        !platform::seekRelative(file.file, back - 4))
      return failed = true, false;
    return put(crc, 4);
  }

  bool data(const uint8_t* bytes, size_t size) {
    while (size > 0 && !failed) {
      if (chunkBytes == kMaxChunk && !(closeChunk() && openChunk())) break;
      const size_t take = static_cast<size_t>(std::min<uint64_t>(size, kMaxChunk - chunkBytes));
      chunkCrc = static_cast<uint32_t>(crc32(chunkCrc, bytes, static_cast<uInt>(take)));
      put(bytes, take);
      chunkBytes += take;
      bytes += take;
      size -= take;
    }
    return !failed;
  }

  bool deflateInto(const uint8_t* in, size_t size, int flush) {
    zip.next_in = const_cast<Bytef*>(in);
    zip.avail_in = static_cast<uInt>(size);
    for (;;) {
      zip.next_out = out.data();
      zip.avail_out = static_cast<uInt>(out.size());
      const int result = deflate(&zip, flush);
      if (result == Z_STREAM_ERROR) return failed = true, false;
      if (!data(out.data(), out.size() - zip.avail_out)) return false;
      if (flush == Z_FINISH ? result == Z_STREAM_END : zip.avail_out != 0) return true;
    }
  }
};

PngRowWriter::PngRowWriter() = default;
PngRowWriter::~PngRowWriter() = default;

bool PngRowWriter::begin(const std::string& path, int width, int height) {
  state_.reset();
  if (width <= 0 || height <= 0 || width > (1 << 26)) return false;
  auto s = std::make_unique<State>();
  if (!platform::beginAtomicFile(path.c_str(), &s->file)) return false;
  if (deflateInit(&s->zip, kLevel) != Z_OK) return false;
  s->zipOpen = true;
  s->width = width;
  s->height = height;
  s->lines.assign(static_cast<size_t>(width) * 6, 0);
  s->filtered.assign(static_cast<size_t>(width) * 3 + 1, 0);
  s->out.resize(kOutBuffer);
  uint8_t head[8 + 8 + 13 + 4] = {137, 80, 78, 71, 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  bigEndian(static_cast<uint32_t>(width), head + 16);
  bigEndian(static_cast<uint32_t>(height), head + 20);
  const uint8_t kind[5] = {8, 2, 0, 0, 0};  // 8 bits, RGB, deflate, adaptive filters, not interlaced
  std::memcpy(head + 24, kind, sizeof kind);
  bigEndian(static_cast<uint32_t>(crc32(0L, head + 12, 17)), head + 29);
  if (!s->put(head, sizeof head) || !s->openChunk()) return false;
  state_ = std::move(s);
  return true;
}

bool PngRowWriter::row(const uint8_t* rgb) {
  State* s = state_.get();
  if (!s || s->failed || s->rows >= s->height) return false;
  const size_t bytes = static_cast<size_t>(s->width) * 3;
  // Rows take turns in the two halves; the row before is the other half.
  uint8_t* here = s->lines.data() + (s->rows % 2) * bytes;
  const uint8_t* above = s->rows == 0 ? nullptr : s->lines.data() + ((s->rows + 1) % 2) * bytes;
  std::memcpy(here, rgb, bytes);
  stbPngFilterRow(above, here, s->width, s->filtered.data());
  ++s->rows;
  return s->deflateInto(s->filtered.data(), s->filtered.size(), Z_NO_FLUSH);
}

bool PngRowWriter::finish() {
  State* s = state_.get();
  if (!s || s->failed || s->rows != s->height) return false;
  static const uint8_t kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  const bool ok = s->deflateInto(nullptr, 0, Z_FINISH) && s->closeChunk() && s->put(kEnd, sizeof kEnd) &&
                  platform::commitAtomicFile(&s->file);
  state_.reset();
  return ok;
}

}  // namespace escp
