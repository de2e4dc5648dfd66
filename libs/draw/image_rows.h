// The rows of image items left in their job file, read a block at a time as
// a render asks for them: one cache per print run, within a fixed budget,
// so that printing or estimating a job costs about a band of memory beyond
// its items' descriptions, not the size of its images.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "libs/draw/job_file.h"

namespace jdraw {

class ImageRows {
 public:
  static constexpr std::size_t kBudget = std::size_t{8} << 20;
  // Rows read at once, when they fit: a band of a 720 dpi print of a large
  // image reaches a few dozen of them.
  static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

  explicit ImageRows(std::size_t budget = kBudget) : budget_(budget) {}
  ImageRows(const ImageRows&) = delete;
  ImageRows& operator=(const ImageRows&) = delete;

  // A source for an item whose pixels lie in its file; valid as long as
  // this cache.
  void* add(const jobfile::Item& item);
  // The render context's row call: copies row y (0 = top) of the source's
  // image into `into`; 0 when the file cannot be read or is no longer the
  // one loaded. Renders on several threads may call it at once.
  static int row(void* source, int32_t y, uint8_t* into);

  std::size_t held() const { return held_; }

 private:
  struct Source {
    ImageRows* owner;
    std::shared_ptr<const jobfile::PixelsInFile> file;
    std::size_t rowBytes;
    int32_t height;
    std::vector<uint8_t> block;
    int32_t first = 0, count = 0;  // rows in block
    uint64_t used = 0;             // when last read from, for eviction
  };

  const uint8_t* rowOf(Source* s, int32_t y);
  bool load(Source* s, int32_t y);
  void makeRoom(std::size_t bytes, const Source* keep);

  std::size_t budget_;
  std::size_t held_ = 0;
  uint64_t clock_ = 0;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Source>> sources_;
};

}  // namespace jdraw
