// A job file read from a file or from memory: its header, its chunks in
// order, each length checked before anything is read or allocated, and image
// rows left in the file when the caller asks for that.
#include <algorithm>
#include <new>

#include <zlib.h>

#include "libs/draw/job_file.h"
#include "libs/draw/job_file_format.h"
#include "platform/file.h"

namespace jobfile {
namespace {

using namespace format;

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
  readItemHead(head.data(), &item);
  readImageSize(&head[kItemHeadBytes], &item);
  if (!itemInFileIsSound(item, length - kImageHeadBytes)) return Status::Malformed;
  item.inFile = std::make_shared<PixelsInFile>(PixelsInFile{path, at + kImageHeadBytes, source.size()});
  job->items.push_back(std::move(item));
  return Status::Ok;
}

// An item's kind, rectangle and image size; the rest of its chunk skipped
// unread (and its checksum unchecked).
Status itemHead(Source& source, uint64_t length, Job* job) {
  if (job->items.size() >= kMaxItems) return Status::TooLarge;
  const std::size_t headBytes = static_cast<std::size_t>(std::min<uint64_t>(length, kImageHeadBytes));
  uint8_t head[kImageHeadBytes] = {};
  if (!source.read(head, headBytes) || !source.skip(length - headBytes)) return Status::Unreadable;
  Item item;
  readItemHead(head, &item);
  if (headBytes == kImageHeadBytes) readImageSize(&head[kItemHeadBytes], &item);
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
    if (t == kItemTag && !(parts & kDrawing) && (parts & kItemHeads)) {
      const Status s = itemHead(source, length, job);
      if (s != Status::Ok) return s;
    } else if (!rule || (rule->part != kDescription && !(rule->part & parts))) {
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
  return drawingFitsPage(*job) ? Status::Ok : Status::OffPage;
}

}  // namespace

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

}  // namespace jobfile
