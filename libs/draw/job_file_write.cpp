// A job file written: the job checked against the format's rules, encoded
// chunk by chunk, and saved atomically. An image's pixels go out where they
// lie, never copied into a chunk of their own: a job of a large photograph
// costs the memory of its pixels once, not three times.
#include "libs/draw/job_file.h"
#include "libs/draw/job_file_format.h"
#include "platform/atomic_file.h"

namespace jobfile {
namespace {

using namespace format;

// Where the encoded bytes go: counted only, into memory, or into a file.
struct Sink {
  std::vector<uint8_t>* bytes = nullptr;
  platform::FileHandle file = nullptr;
  std::size_t size = 0;
  bool ok = true;

  void put(const uint8_t* data, std::size_t count) {
    size += count;
    if (!ok || count == 0) return;
    if (bytes) bytes->insert(bytes->end(), data, data + count);
    if (file) ok = platform::writeAll(file, data, count);
  }
  bool counting() const { return !bytes && !file; }
};

// A chunk whose payload is head, then tail (an image's pixels, or nothing).
void putChunk(Sink* out, Tag t, const uint8_t* head, std::size_t headSize, const uint8_t* tail = nullptr,
              std::size_t tailSize = 0) {
  std::vector<uint8_t> header;
  header.reserve(12);
  put32(&header, t);
  put32(&header, static_cast<uint32_t>(headSize + tailSize));
  put32(&header, out->counting() ? 0 : crc32More(crc32More(0, head, headSize), tail, tailSize));
  out->put(header.data(), header.size());
  out->put(head, headSize);
  out->put(tail, tailSize);
}
void putChunk(Sink* out, Tag t, const std::vector<uint8_t>& payload) {
  putChunk(out, t, payload.data(), payload.size());
}
void putText(Sink* out, Tag t, const std::string& text) {
  putChunk(out, t, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The whole file into out; the job has been checked.
void putJob(const Job& job, Sink* out) {
  std::vector<uint8_t> head(kMagic, kMagic + sizeof kMagic);
  put32(&head, kVersion);
  put32(&head, 0);
  out->put(head.data(), head.size());
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
  for (const Item& item : job.items) {
    const std::vector<uint8_t> itemHead = encodeItemHead(item);
    putChunk(out, kItemTag, itemHead.data(), itemHead.size(), item.pixels.data(), item.pixels.size());
  }
  putChunk(out, kEndTag, nullptr, 0);
}

}  // namespace

bool jobIsSound(const Job& job) {
  if (job.machine.empty() || !fitsText(job.machine, kMaxMachine) || job.settings.empty() ||
      job.settings.size() > kMaxSettingBlock || !fitsText(job.title, kMaxTitle) || !fitsText(job.info, kMaxInfo) ||
      !areaIsSound(job.area) || (!job.preview.empty() && job.preview.size() != kPreviewSide * kPreviewSide) ||
      job.items.size() > kMaxItems)
    return false;
  for (const Item& item : job.items)
    if (!itemIsSound(item)) return false;
  return drawingFitsPage(job);
}

bool encodeJob(const Job& job, std::vector<uint8_t>* out) {
  out->clear();
  if (!jobIsSound(job)) return false;
  Sink count;
  putJob(job, &count);
  out->reserve(count.size);
  Sink memory;
  memory.bytes = out;
  putJob(job, &memory);
  return true;
}

bool writeJobFile(const char* path, const Job& job) {
  if (!jobIsSound(job)) return false;
  platform::AtomicFile file;
  if (!platform::beginAtomicFile(path, &file)) return false;
  Sink disk;
  disk.file = file.file;
  putJob(job, &disk);
  if (!disk.ok) {
    platform::abandonAtomicFile(&file);
    return false;
  }
  return platform::commitAtomicFile(&file);
}

}  // namespace jobfile
