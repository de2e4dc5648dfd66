// Pages of a stream built one at a time: the frames go in in order, each
// page is handed over when its form feed (or the stream's end) is reached
// and let go as soon as its taker returns, so a stream of many pages costs
// the memory of its largest page, never of all of them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "libs/escdecode/cell_rows.h"
#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"

namespace escp {

class PageStream {
 public:
  // Each returns false to end the build. A refused page is one over the
  // size limit at this scale: nothing of it is allocated beyond the rows
  // that showed it too large, and the pages after it are built as usual.
  using PageDone = std::function<bool(size_t index, const DotPage& page)>;
  using PageRefused = std::function<bool(size_t index, const std::string& why)>;

  // A decoder meets hostile streams: a page may hold this many cells (2^24
  // take 512 MB) before it is refused as too large rather than built.
  static constexpr uint64_t kMaxPageCells = uint64_t{1} << 24;

  PageStream(int scale, PageDone done, PageRefused refused, uint64_t maxCells = kMaxPageCells);
  PageStream(const PageStream&) = delete;
  PageStream& operator=(const PageStream&) = delete;

  // False when the frame cannot be placed (error set) or a taker ended the
  // build (error empty).
  bool take(const Frame& frame, std::string* error);
  // Hands over the rows after the last form feed as a last page.
  bool finish(std::string* error);

  size_t pages() const { return index_; }
  // The most bytes of dot cells held at once, the page being handed over
  // included: what a bound on the builder's memory is checked against.
  uint64_t peakBytes() const { return peak_; }

 private:
  bool row(int plane, const std::vector<uint8_t>& bytes);
  bool move(int lines);
  bool endPage();
  void refuse();
  void release();
  void hold(int64_t bytes);
  void keepRow(int64_t y, int width, const uint32_t* const ink[kPlanes]);
  static int64_t cellsFor(int64_t dots, int per);

  int scale_;
  uint64_t maxCells_;
  PageDone done_;
  PageRefused refused_;
  size_t index_ = 0;
  bool rowsSinceFeed_ = false;
  bool refusedPage_ = false;  // rows are skipped up to the next form feed
  int64_t line_ = 0;
  int dotWidth_ = 0;
  int dotHeight_ = 0;
  Resolution resolution_;
  // By ink, by cell row, only where something was printed: a long paper
  // move costs nothing, and the page is laid out one ink at a time.
  std::map<int, std::vector<uint32_t>> rows_[kPlanes];
  CellRows cells_;  // the row being summed, kept in rows_ once final
  uint64_t held_ = 0;
  uint64_t peak_ = 0;
};

// Decodes a stream of any length from `read` and builds its pages one at a
// time (see PageStream). A set cancel flag ends it (false, "cancelled").
bool buildEachPage(const ReadBytes& read, int scale, const PageStream::PageDone& done,
                   const PageStream::PageRefused& refused, std::string* error, const std::atomic<int>* cancel = nullptr,
                   uint64_t* peakBytes = nullptr);

}  // namespace escp
