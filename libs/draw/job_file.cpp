// A job file read and written: its header, its items and the checks that
// guard them (sizes, checksums, image rows left in the file). It stays one
// file past 400 lines because reading and writing share every layout rule
// of the format; split them and a change to the format must be made twice.
#include "libs/draw/job_file.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <zlib.h>

#include "platform/atomic_file.h"
#include "platform/file.h"

namespace jobfile {
namespace {

constexpr char kMagic[8] = {'V', 'L', 'X', 'J', 'O', 'B', '\r', '\n'};
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kChunkHeaderBytes = 12;
constexpr std::size_t kAreaBytes = 28;
constexpr std::size_t kItemHeadBytes = 20;  // kind and rectangle
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
constexpr ChunkRule kRules[] = {
    {kMachineTag, 1, kMaxMachine, false, kDescription},
    {kSettingTag, 1, kMaxSettingBlock, false, kDescription},
    {kTileTag, kTileBlockBytes, kTileBlockBytes, false, kDescription},
    {kTitleTag, 0, kMaxTitle, false, kDescription},
    {kInfoTag, 0, kMaxInfo, false, kDescription},
    {kAreaTag, kAreaBytes, kAreaBytes, false, kDescription},
    {kPreviewTag, kPreviewBytes, kPreviewBytes, false, kPreview},
    {kItemTag, kItemHeadBytes + 4, kItemHeadBytes + 8 + kMaxImageBytes, true, kDrawing},
};

const ChunkRule* ruleOf(Tag t) {
  for (const ChunkRule& r : kRules)
    if (r.tag == t) return &r;
  return nullptr;
}

uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
float getFloat(const uint8_t* p) {
  uint32_t bits = get32(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}
void put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(uint8_t(v >> (8 * i)));
}
void putFloat(std::vector<uint8_t>* out, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  put32(out, bits);
}

// Where the bytes come from: a file read in order, or memory.
class Source {
 public:
  virtual ~Source() = default;
  virtual uint64_t size() const = 0;
  virtual bool read(void* buffer, std::size_t bytes) = 0;
  virtual bool skip(uint64_t bytes) = 0;
};

class MemorySource : public Source {
 public:
  MemorySource(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  uint64_t size() const override { return size_; }
  bool read(void* buffer, std::size_t bytes) override {
    if (bytes > size_ - at_) return false;
    if (bytes) std::memcpy(buffer, data_ + at_, bytes);
    at_ += bytes;
    return true;
  }
  bool skip(uint64_t bytes) override {
    if (bytes > size_ - at_) return false;
    at_ += static_cast<std::size_t>(bytes);
    return true;
  }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

class FileSource : public Source {
 public:
  FileSource(platform::FileHandle file, uint64_t size) : file_(file), size_(size) {}
  uint64_t size() const override { return size_; }
  bool read(void* buffer, std::size_t bytes) override {
    auto* p = static_cast<uint8_t*>(buffer);
    while (bytes > 0) {
      const std::int64_t got = platform::readFile(file_, p, bytes);
      if (got <= 0) return false;
      p += got;
      bytes -= static_cast<std::size_t>(got);
    }
    return true;
  }
  bool skip(uint64_t bytes) override { return platform::seekRelative(file_, static_cast<std::int64_t>(bytes)); }

 private:
  platform::FileHandle file_;
  uint64_t size_;
};

bool fitsText(const std::string& text, std::size_t max) {
  return text.size() <= max && text.find('\0') == std::string::npos;
}

bool itemIsSound(const Item& item) {
  if (!(item.x0 < item.x1) || !(item.y0 < item.y1)) return false;
  if (item.kind == kRgbFill || item.kind == kCmykFill) return true;
  if (item.kind != kRgbImage && item.kind != kCmykImage) return false;
  if (item.width <= 0 || item.height <= 0 || item.width > kMaxImageSide || item.height > kMaxImageSide) return false;
  const uint64_t bytes = uint64_t(item.width) * uint64_t(item.height) * (item.kind == kRgbImage ? 3 : 4);
  return bytes <= kMaxImageBytes && bytes == item.pixels.size();
}

bool itemInFileIsSound(const Item& item, uint64_t pixelBytes) {
  if (!(item.x0 < item.x1) || !(item.y0 < item.y1)) return false;
  if (item.width <= 0 || item.height <= 0 || item.width > kMaxImageSide || item.height > kMaxImageSide) return false;
  return uint64_t(item.width) * uint64_t(item.height) * (item.kind == kRgbImage ? 3 : 4) == pixelBytes;
}

bool areaIsSound(const Area& a) {
  return a.x0 < a.x1 && a.y0 < a.y1 && a.mmPerUnitX > 0 && a.mmPerUnitY > 0;
}

Status decodeItem(std::vector<uint8_t>& p, Item* item) {
  item->kind = static_cast<int32_t>(get32(&p[0]));
  item->x0 = getFloat(&p[4]);
  item->y0 = getFloat(&p[8]);
  item->x1 = getFloat(&p[12]);
  item->y1 = getFloat(&p[16]);
  const std::size_t rest = p.size() - kItemHeadBytes;
  if (item->kind == kRgbFill || item->kind == kCmykFill) {
    if (rest != 4) return Status::Malformed;
    std::memcpy(item->color, &p[kItemHeadBytes], 4);
  } else {
    if (rest < 8) return Status::Malformed;
    item->width = static_cast<int32_t>(get32(&p[kItemHeadBytes]));
    item->height = static_cast<int32_t>(get32(&p[kItemHeadBytes + 4]));
    // The pixels stay in the payload's block: no second copy of a large image.
    item->pixels.swap(p);
    item->pixels.erase(item->pixels.begin(), item->pixels.begin() + kItemHeadBytes + 8);
  }
  return itemIsSound(*item) ? Status::Ok : Status::Malformed;
}

Status takeChunk(Tag t, std::vector<uint8_t>& p, Job* job) {
  auto text = [&p] { return std::string(p.begin(), p.end()); };
  if (t == kMachineTag) {
    job->machine = text();
    return fitsText(job->machine, kMaxMachine) ? Status::Ok : Status::Malformed;
  }
  if (t == kSettingTag) {
    job->settings.swap(p);
  } else if (t == kTileTag) {
    job->hasTiling = true;
    std::memcpy(job->tiling.data(), p.data(), kTileBlockBytes);
  } else if (t == kTitleTag) {
    job->title = text();
    if (!fitsText(job->title, kMaxTitle)) return Status::Malformed;
  } else if (t == kInfoTag) {
    job->info = text();
    if (!fitsText(job->info, kMaxInfo)) return Status::Malformed;
  } else if (t == kAreaTag) {
    Area& a = job->area;
    a = Area{getFloat(&p[0]),
             getFloat(&p[4]),
             getFloat(&p[8]),
             getFloat(&p[12]),
             getFloat(&p[16]),
             getFloat(&p[20]),
             static_cast<int32_t>(get32(&p[24]))};
    if (!areaIsSound(a)) return Status::Malformed;
  } else if (t == kPreviewTag) {
    job->preview.resize(kPreviewSide * kPreviewSide);
    for (std::size_t i = 0; i < job->preview.size(); ++i) job->preview[i] = get32(&p[i * 4]);
  } else if (t == kItemTag) {
    if (job->items.size() >= kMaxItems) return Status::TooLarge;
    Item item;
    const Status s = decodeItem(p, &item);
    if (s != Status::Ok) return s;
    job->items.push_back(std::move(item));
  }
  return Status::Ok;
}

constexpr std::size_t kImageHeadBytes = kItemHeadBytes + 8;  // kind, rectangle, width, height

// An image item whose pixels stay in the file: its head is read, the rest
// streams through the checksum a block at a time.
Status itemInFile(Source& source, uint64_t length, uint32_t crc, const std::string& path, uint64_t at, Job* job) {
  std::vector<uint8_t> head(kImageHeadBytes);
  if (!source.read(head.data(), head.size())) return Status::Unreadable;
  uLong sum = ::crc32(0L, head.data(), static_cast<uInt>(head.size()));
  std::vector<uint8_t> block(std::min<uint64_t>(length - kImageHeadBytes, 1u << 20));
  for (uint64_t left = length - kImageHeadBytes; left > 0;) {
    const std::size_t n = static_cast<std::size_t>(std::min<uint64_t>(left, block.size()));
    if (!source.read(block.data(), n)) return Status::Unreadable;
    sum = ::crc32(sum, block.data(), static_cast<uInt>(n));
    left -= n;
  }
  if (static_cast<uint32_t>(sum) != crc) return Status::Corrupt;
  if (job->items.size() >= kMaxItems) return Status::TooLarge;
  Item item;
  item.kind = static_cast<int32_t>(get32(&head[0]));
  item.x0 = getFloat(&head[4]);
  item.y0 = getFloat(&head[8]);
  item.x1 = getFloat(&head[12]);
  item.y1 = getFloat(&head[16]);
  item.width = static_cast<int32_t>(get32(&head[kItemHeadBytes]));
  item.height = static_cast<int32_t>(get32(&head[kItemHeadBytes + 4]));
  if (!itemInFileIsSound(item, length - kImageHeadBytes)) return Status::Malformed;
  item.inFile = std::make_shared<PixelsInFile>(PixelsInFile{path, at + kImageHeadBytes, source.size()});
  job->items.push_back(std::move(item));
  return Status::Ok;
}

// The kind of an item chunk from its first bytes, read ahead and given back.
bool isImageChunk(Source& source) {
  uint8_t kind[4];
  if (!source.read(kind, sizeof kind) || !source.skip(static_cast<uint64_t>(-4))) return false;
  const int32_t k = static_cast<int32_t>(get32(kind));
  return k == kRgbImage || k == kCmykImage;
}

Status parse(Source& source, unsigned parts, Job* job, const std::string& path = std::string()) {
  *job = Job{};
  uint8_t header[kHeaderBytes];
  if (source.size() < kHeaderBytes) return source.size() == 0 ? Status::NotAJob : Status::Truncated;
  if (!source.read(header, sizeof header)) return Status::Unreadable;
  if (std::memcmp(header, kMagic, sizeof kMagic) != 0) return Status::NotAJob;
  if (get32(header + 8) != kVersion) return get32(header + 8) > kVersion ? Status::NewerVersion : Status::Malformed;
  uint64_t at = kHeaderBytes;
  std::vector<Tag> seen;
  for (;;) {
    uint8_t chunk[kChunkHeaderBytes];
    if (source.size() - at < kChunkHeaderBytes) return Status::Truncated;
    if (!source.read(chunk, sizeof chunk)) return Status::Unreadable;
    at += kChunkHeaderBytes;
    const Tag t = get32(chunk);
    const uint64_t length = get32(chunk + 4);
    if (t == kEndTag) {
      if (length != 0) return Status::Malformed;
      if (at != source.size()) return Status::Malformed;  // bytes after the end
      break;
    }
    const ChunkRule* rule = ruleOf(t);
    if (rule && length > rule->maxBytes) return Status::TooLarge;
    if (length > source.size() - at) return Status::Truncated;
    if (rule && length < rule->minBytes) return Status::Malformed;
    if (rule && !rule->repeats) {
      for (Tag s : seen)
        if (s == t) return Status::Malformed;
      seen.push_back(t);
    }
    if (!rule || (rule->part != kDescription && !(rule->part & parts))) {
      if (!source.skip(length)) return Status::Unreadable;
    } else if (t == kItemTag && (parts & kRowsInFile) && !path.empty() && length >= kImageHeadBytes &&
               isImageChunk(source)) {
      const Status s = itemInFile(source, length, get32(chunk + 8), path, at, job);
      if (s != Status::Ok) return s;
    } else {
      std::vector<uint8_t> payload;
      try {
        payload.resize(static_cast<std::size_t>(length));
      } catch (const std::bad_alloc&) {
        return Status::TooLarge;
      }
      if (!source.read(payload.data(), payload.size())) return Status::Unreadable;
      if (crc32(payload.data(), payload.size()) != get32(chunk + 8)) return Status::Corrupt;
      const Status s = takeChunk(t, payload, job);
      if (s != Status::Ok) return s;
    }
    at += length;
  }
  auto has = [&seen](Tag t) {
    for (Tag s : seen)
      if (s == t) return true;
    return false;
  };
  if (!has(kMachineTag) || !has(kSettingTag) || !has(kAreaTag)) return Status::Malformed;
  return Status::Ok;
}

void putChunk(std::vector<uint8_t>* out, Tag t, const uint8_t* data, std::size_t size) {
  put32(out, t);
  put32(out, static_cast<uint32_t>(size));
  put32(out, crc32(data, size));
  out->insert(out->end(), data, data + size);
}
void putChunk(std::vector<uint8_t>* out, Tag t, const std::vector<uint8_t>& payload) {
  putChunk(out, t, payload.data(), payload.size());
}
void putText(std::vector<uint8_t>* out, Tag t, const std::string& text) {
  putChunk(out, t, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::vector<uint8_t> encodeItem(const Item& item) {
  std::vector<uint8_t> p;
  p.reserve(kItemHeadBytes + 8 + item.pixels.size());
  put32(&p, static_cast<uint32_t>(item.kind));
  for (float f : {item.x0, item.y0, item.x1, item.y1}) putFloat(&p, f);
  if (item.kind == kRgbFill || item.kind == kCmykFill) {
    p.insert(p.end(), item.color, item.color + 4);
  } else {
    put32(&p, static_cast<uint32_t>(item.width));
    put32(&p, static_cast<uint32_t>(item.height));
    p.insert(p.end(), item.pixels.begin(), item.pixels.end());
  }
  return p;
}

}  // namespace

const char* statusText(Status status) {
  switch (status) {
    case Status::Ok:
      return "ok";
    case Status::Unreadable:
      return "the file cannot be read";
    case Status::NotAJob:
      return "not a job file";
    case Status::NewerVersion:
      return "a job file of a newer version";
    case Status::Truncated:
      return "the job file is truncated";
    case Status::TooLarge:
      return "a part of the job file is larger than allowed";
    case Status::Corrupt:
      return "the job file is damaged (checksum)";
    case Status::Malformed:
      return "the job file is malformed";
  }
  return "?";
}

uint32_t crc32(const uint8_t* data, std::size_t size) {
  // zlib's CRC-32 (the ISO-HDLC one job files have always carried).
  return static_cast<uint32_t>(::crc32(0L, data, static_cast<uInt>(size)));
}

Status parseJob(const uint8_t* data, std::size_t size, unsigned parts, Job* job) {
  MemorySource source(data, data ? size : 0);
  return parse(source, parts, job);
}

Status readJobFile(const char* path, unsigned parts, Job* job) {
  *job = Job{};
  if (!path || !path[0]) return Status::Unreadable;
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadAnyShare);
  if (!file) return Status::Unreadable;
  uint64_t size = 0;
  Status status = Status::Unreadable;
  if (platform::fileSize(file, &size)) {
    FileSource source(file, size);
    status = parse(source, parts, job, path);
  }
  platform::closeFile(file);
  if (status != Status::Ok) *job = Job{};
  return status;
}

bool encodeJob(const Job& job, std::vector<uint8_t>* out) {
  out->clear();
  if (job.machine.empty() || !fitsText(job.machine, kMaxMachine) || job.settings.empty() ||
      job.settings.size() > kMaxSettingBlock || !fitsText(job.title, kMaxTitle) || !fitsText(job.info, kMaxInfo) ||
      !areaIsSound(job.area) || (!job.preview.empty() && job.preview.size() != kPreviewSide * kPreviewSide) ||
      job.items.size() > kMaxItems)
    return false;
  for (const Item& item : job.items)
    if (!itemIsSound(item)) return false;
  out->insert(out->end(), kMagic, kMagic + sizeof kMagic);
  put32(out, kVersion);
  put32(out, 0);
  putText(out, kMachineTag, job.machine);
  putChunk(out, kSettingTag, job.settings);
  if (job.hasTiling) putChunk(out, kTileTag, job.tiling.data(), job.tiling.size());
  putText(out, kTitleTag, job.title);
  putText(out, kInfoTag, job.info);
  std::vector<uint8_t> area;
  for (float f : {job.area.x0, job.area.y0, job.area.x1, job.area.y1, job.area.mmPerUnitX, job.area.mmPerUnitY})
    putFloat(&area, f);
  put32(&area, static_cast<uint32_t>(job.area.tiled));
  putChunk(out, kAreaTag, area);
  if (!job.preview.empty()) {
    std::vector<uint8_t> preview;
    preview.reserve(kPreviewBytes);
    for (uint32_t c : job.preview) put32(&preview, c);
    putChunk(out, kPreviewTag, preview);
  }
  for (const Item& item : job.items) putChunk(out, kItemTag, encodeItem(item));
  putChunk(out, kEndTag, nullptr, 0);
  return true;
}

bool writeJobFile(const char* path, const Job& job) {
  std::vector<uint8_t> bytes;
  return encodeJob(job, &bytes) && platform::saveFileAtomically(path, bytes.data(), bytes.size());
}

}  // namespace jobfile
