#include "libs/escdecode/stream_index.h"

#include <algorithm>

#include "libs/escdecode/frame_walk.h"

namespace escp {

bool StreamIndexer::take(const Frame& f, std::string* error) {
  switch (f.kind) {
    case FrameKind::kVerticalMove:
      return movePaper(f, &line_, error);
    case FrameKind::kRasterRow: {
      if (line_ != rowLine_ && (page_.bands.empty() || line_ >= page_.bands.back().line + bandLines_))
        page_.bands.push_back(BandStart{f.offset, line_});
      rowLine_ = line_;
      rows_ = true;
      // Measured as the page builder measures: the widest row, the lowest line.
      page_.dotWidth = std::max(page_.dotWidth, static_cast<int>(f.unpacked.size()) * 4);
      page_.dotHeight = std::max(page_.dotHeight, static_cast<int>(line_) + 1);
      return true;
    }
    case FrameKind::kEscCommand:
      rasterResolution(f, &page_.resolution);
      return true;
    case FrameKind::kFormFeed:
      page_.end = f.offset + f.length;
      index_.pages.push_back(std::move(page_));
      page_ = PageStart{};
      page_.offset = f.offset + f.length;
      line_ = 0;
      rowLine_ = -1;
      rows_ = false;
      return true;
    default:
      return true;
  }
}

StreamIndex StreamIndexer::finish(StreamOffset streamSize) {
  if (rows_) {
    page_.end = streamSize;
    index_.pages.push_back(std::move(page_));
  }
  page_ = PageStart{};
  return std::move(index_);
}

bool indexStream(const uint8_t* data, size_t size, StreamIndex* out, std::string* error, const std::atomic<int>* cancel,
                 int bandLines) {
  StreamIndexer indexer(bandLines);
  const auto take = [&](const Frame& f) { return indexer.take(f, error) ? Step::kOn : Step::kFail; };
  if (walkFrames(data, size, take, error, cancel) == Walk::kFailed) return false;
  *out = indexer.finish(size);
  return true;
}

ReadRange readFileRange(std::FILE* file) {
  return [file](StreamOffset from, StreamOffset to) -> ReadBytes {
#ifdef _WIN32
    const bool there = _fseeki64(file, static_cast<long long>(from), SEEK_SET) == 0;
#else
    const bool there = fseeko(file, static_cast<off_t>(from), SEEK_SET) == 0;
#endif
    return [file, there, left = to - from](uint8_t* into, size_t max) mutable -> long long {
      if (!there) return -1;
      const size_t n = std::fread(into, 1, static_cast<size_t>(std::min<StreamOffset>(max, left)), file);
      if (n == 0 && left > 0) return std::ferror(file) ? -1 : 0;
      left -= n;
      return static_cast<long long>(n);
    };
  };
}

bool decodeBandIndexed(const uint8_t* data, size_t size, const StreamIndex& index, int page, int x0, int y0, int width,
                       int height, DotBand* out, std::string* error) {
  // In memory every offset fits a size_t.
  const ReadRange open = [data](StreamOffset from, StreamOffset to) -> ReadBytes {
    return [at = data + static_cast<size_t>(from), left = static_cast<size_t>(to - from)](
               uint8_t* into, size_t max) mutable -> long long {
      const size_t n = std::min(max, left);
      std::copy(at, at + n, into);
      at += n;
      left -= n;
      return static_cast<long long>(n);
    };
  };
  return decodeBandIndexed(open, size, index, page, x0, y0, width, height, out, error);
}

bool decodeBandIndexed(const ReadRange& open, StreamOffset size, const StreamIndex& index, int page, int x0, int y0,
                       int width, int height, DotBand* out, std::string* error) {
  if (page < 0) {
    *error = "band out of range";
    return false;
  }
  if (!startBand(x0, y0, width, height, out, error)) return false;
  // A page the stream does not have is blank, as decodeBand gives it.
  if (static_cast<size_t>(page) >= index.pages.size() || height == 0) return true;
  const PageStart& p = index.pages[static_cast<size_t>(page)];
  if (p.end > size || p.offset > p.end) {
    *error = "index does not fit the stream";
    return false;
  }
  // The last band starting at or above the window's first line.
  const auto after = std::upper_bound(p.bands.begin(), p.bands.end(), int64_t{y0},
                                      [](int64_t y, const BandStart& b) { return y < b.line; });
  StreamOffset from = p.offset;
  int64_t line = 0;
  if (after != p.bands.begin()) {
    from = std::prev(after)->offset;
    line = std::prev(after)->line;
  }
  const int64_t yEnd = int64_t{y0} + height;
  const auto put = [&](const Frame& f) {
    if (f.kind == FrameKind::kFormFeed) return Step::kEnough;  // the page's end
    if (f.kind == FrameKind::kVerticalMove) {
      if (!movePaper(f, &line, error)) return Step::kFail;
      return line < yEnd ? Step::kOn : Step::kEnough;
    }
    putRow(f, line, out);
    return Step::kOn;
  };
  return walkFrames(open(from, p.end), put, error) != Walk::kFailed;
}

}  // namespace escp
