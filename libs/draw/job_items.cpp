// One drawn item as the job file holds it: a head (kind and rectangle), then
// a fill's colour or an image's size and pixels; and the checks an item
// passes on either side of the file.
#include "libs/draw/job_file_format.h"

namespace jobfile::format {
namespace {

// Rectangle and image size; the pixels are the callers' to check.
bool imageShapeIsSound(const Item& item) {
  return item.x0 < item.x1 && item.y0 < item.y1 && item.width > 0 && item.height > 0 && item.width <= kMaxImageSide &&
         item.height <= kMaxImageSide;
}

uint64_t imageBytes(const Item& item) {
  return uint64_t(item.width) * uint64_t(item.height) * (item.kind == kRgbImage ? 3 : 4);
}

}  // namespace

bool itemIsSound(const Item& item) {
  if (!(item.x0 < item.x1) || !(item.y0 < item.y1)) return false;
  if (item.kind == kRgbFill || item.kind == kCmykFill) return true;
  if (item.kind != kRgbImage && item.kind != kCmykImage) return false;
  if (!imageShapeIsSound(item)) return false;
  const uint64_t bytes = imageBytes(item);
  return bytes <= kMaxImageBytes && bytes == item.pixels.size();
}

bool itemInFileIsSound(const Item& item, uint64_t pixelBytes) {
  return imageShapeIsSound(item) && imageBytes(item) == pixelBytes;
}

void readItemHead(const uint8_t* p, Item* item) {
  item->kind = static_cast<int32_t>(get32(&p[0]));
  item->x0 = getFloat(&p[4]);
  item->y0 = getFloat(&p[8]);
  item->x1 = getFloat(&p[12]);
  item->y1 = getFloat(&p[16]);
}

void readImageSize(const uint8_t* p, Item* item) {
  item->width = static_cast<int32_t>(get32(&p[0]));
  item->height = static_cast<int32_t>(get32(&p[4]));
}

Status decodeItem(std::vector<uint8_t>& p, Item* item) {
  readItemHead(p.data(), item);
  const std::size_t rest = p.size() - kItemHeadBytes;
  if (item->kind == kRgbFill || item->kind == kCmykFill) {
    if (rest != 4) return Status::Malformed;
    std::memcpy(item->color, &p[kItemHeadBytes], 4);
  } else {
    if (rest < 8) return Status::Malformed;
    readImageSize(&p[kItemHeadBytes], item);
    // The pixels stay in the payload's block: no second copy of a large image.
    item->pixels.swap(p);
    item->pixels.erase(item->pixels.begin(), item->pixels.begin() + kImageHeadBytes);
  }
  return itemIsSound(*item) ? Status::Ok : Status::Malformed;
}

std::vector<uint8_t> encodeItemHead(const Item& item) {
  std::vector<uint8_t> p;
  p.reserve(kImageHeadBytes);
  put32(&p, static_cast<uint32_t>(item.kind));
  for (float f : {item.x0, item.y0, item.x1, item.y1}) putFloat(&p, f);
  if (item.kind == kRgbFill || item.kind == kCmykFill) {
    p.insert(p.end(), item.color, item.color + 4);
  } else {
    put32(&p, static_cast<uint32_t>(item.width));
    put32(&p, static_cast<uint32_t>(item.height));
  }
  return p;
}

}  // namespace jobfile::format
