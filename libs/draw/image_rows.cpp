#include "libs/draw/image_rows.h"

#include <algorithm>
#include <cstring>

#include "platform/file.h"

namespace jdraw {

void* ImageRows::add(const jobfile::Item& item) {
  if (!item.inFile || item.width <= 0 || item.height <= 0) return nullptr;
  sources_.push_back(std::make_unique<Source>(Source{this, item.inFile, jobfile::imageRowBytes(item), item.height}));
  return sources_.back().get();
}

int ImageRows::row(void* source, int32_t y, uint8_t* into) {
  auto* s = static_cast<Source*>(source);
  if (!s || !into) return 0;
  std::lock_guard<std::mutex> hold(s->owner->mutex_);
  const uint8_t* row = s->owner->rowOf(s, y);
  if (!row) return 0;
  std::memcpy(into, row, s->rowBytes);
  return 1;
}

const uint8_t* ImageRows::rowOf(Source* s, int32_t y) {
  if (y < 0 || y >= s->height) return nullptr;
  if (y < s->first || y >= s->first + s->count) {
    if (!load(s, y)) return nullptr;
  }
  s->used = ++clock_;
  return s->block.data() + static_cast<std::size_t>(y - s->first) * s->rowBytes;
}

void ImageRows::makeRoom(std::size_t bytes, const Source* keep) {
  while (held_ + bytes > budget_) {
    Source* oldest = nullptr;
    for (auto& s : sources_)
      if (s.get() != keep && !s->block.empty() && (!oldest || s->used < oldest->used)) oldest = s.get();
    if (!oldest) return;  // one block over the budget: a row wider than it
    held_ -= oldest->block.capacity();
    std::vector<uint8_t>().swap(oldest->block);
    oldest->count = 0;
  }
}

// Reads the block of rows from y on. The file is opened for each block and
// shared with anyone: a job file is not ours to hold, and a band's rows
// come in a few blocks.
bool ImageRows::load(Source* s, int32_t y) {
  const std::size_t rows =
      std::clamp<std::size_t>(std::min(kBlockBytes, budget_) / s->rowBytes, 1, static_cast<std::size_t>(s->height - y));
  const std::size_t bytes = rows * s->rowBytes;
  held_ -= s->block.capacity();
  std::vector<uint8_t>().swap(s->block);
  s->count = 0;
  makeRoom(bytes, s);
  s->block.resize(bytes);
  held_ += s->block.capacity();
  platform::FileHandle file = platform::openFile(s->file->path.c_str(), platform::OpenMode::ReadAnyShare);
  uint64_t size = 0;
  bool read = file && platform::fileSize(file, &size) && size == s->file->fileSize &&
              platform::seekRelative(file, static_cast<int64_t>(s->file->offset + uint64_t(y) * s->rowBytes));
  for (std::size_t at = 0; read && at < bytes;) {
    const int64_t got = platform::readFile(file, s->block.data() + at, bytes - at);
    read = got > 0;
    if (read) at += static_cast<std::size_t>(got);
  }
  if (file) platform::closeFile(file);
  if (!read) return false;
  s->first = y;
  s->count = static_cast<int32_t>(rows);
  return true;
}

}  // namespace jdraw
