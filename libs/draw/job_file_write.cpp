// A job file written: the job checked against the format's rules, encoded
// chunk by chunk, and saved atomically.
#include "libs/draw/job_file.h"
#include "libs/draw/job_file_format.h"
#include "platform/atomic_file.h"

namespace jobfile {
namespace {

using namespace format;

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

}  // namespace

bool encodeJob(const Job& job, std::vector<uint8_t>* out) {
  out->clear();
  if (job.machine.empty() || !fitsText(job.machine, kMaxMachine) || job.settings.empty() ||
      job.settings.size() > kMaxSettingBlock || !fitsText(job.title, kMaxTitle) || !fitsText(job.info, kMaxInfo) ||
      !areaIsSound(job.area) || (!job.preview.empty() && job.preview.size() != kPreviewSide * kPreviewSide) ||
      job.items.size() > kMaxItems)
    return false;
  for (const Item& item : job.items)
    if (!itemIsSound(item)) return false;
  if (!drawingFitsPage(job)) return false;
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
