// The rules of the job file's layout that its reader and writer share.
#include "libs/draw/job_file.h"

#include <zlib.h>

#include "libs/draw/job_file_format.h"

namespace jobfile {
namespace format {
namespace {

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

}  // namespace

const ChunkRule* ruleOf(Tag t) {
  for (const ChunkRule& r : kRules)
    if (r.tag == t) return &r;
  return nullptr;
}

bool fitsText(const std::string& text, std::size_t max) {
  return text.size() <= max && text.find('\0') == std::string::npos;
}

bool areaIsSound(const Area& a) {
  return a.x0 < a.x1 && a.y0 < a.y1 && a.mmPerUnitX > 0 && a.mmPerUnitY > 0;
}

namespace {

// A coordinate in page units that lands within reach of the page in
// millimetres; infinities and NaNs never do.
bool fits(float units, float mmPerUnit) {
  const double mm = static_cast<double>(units) * mmPerUnit;
  return mm >= -kMaxPageMillimetres && mm <= kMaxPageMillimetres;
}

bool rectangleFits(float x0, float y0, float x1, float y1, const Area& a) {
  return fits(x0, a.mmPerUnitX) && fits(x1, a.mmPerUnitX) && fits(y0, a.mmPerUnitY) && fits(y1, a.mmPerUnitY);
}

}  // namespace

bool drawingFitsPage(const Job& job) {
  const Area& a = job.area;
  if (!rectangleFits(a.x0, a.y0, a.x1, a.y1, a)) return false;
  for (const Item& item : job.items)
    if (!rectangleFits(item.x0, item.y0, item.x1, item.y1, a)) return false;
  return true;
}

}  // namespace format

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
    case Status::OffPage:
      return "the page or a drawn item lies beyond what a page can hold";
  }
  return "?";
}

uint32_t crc32(const uint8_t* data, std::size_t size) {
  // zlib's CRC-32 (the ISO-HDLC one job files have always carried).
  return format::crc32More(0, data, size);
}

namespace format {

uint32_t crc32More(uint32_t crc, const uint8_t* data, std::size_t size) {
  // zlib takes at most 4 GB a call; an image may be larger one day.
  constexpr std::size_t kStep = std::size_t(1) << 30;
  uLong value = crc;
  for (std::size_t done = 0; done < size; done += kStep) {
    const std::size_t step = size - done < kStep ? size - done : kStep;
    value = ::crc32(value, data + done, static_cast<uInt>(step));
  }
  return static_cast<uint32_t>(value);
}

}  // namespace format

}  // namespace jobfile
