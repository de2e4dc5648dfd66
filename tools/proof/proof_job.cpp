#include "proof_job.h"

#include <algorithm>
#include <cstring>

#include "Draw.h"
#include "EscDecode.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace proof {
namespace {

// The stream's temporary file, removed however the run ends.
class ScratchFile {
 public:
  ~ScratchFile() {
    if (file_) platform::closeFile(file_);
    if (path_[0]) platform::deleteFile(path_);
  }
  bool create(const char* folder) {
    if (!platform::makeTempFile(folder, "PRS", path_, sizeof path_)) return false;
    file_ = platform::openFile(path_, platform::OpenMode::CreateAlways);
    return file_ != nullptr;
  }
  bool reopenForReading() {
    platform::closeFile(file_);
    file_ = platform::openFile(path_, platform::OpenMode::ReadShared);
    return file_ != nullptr;
  }
  platform::FileHandle handle() const { return file_; }

 private:
  char path_[platform::kMaxPath] = {};
  platform::FileHandle file_ = nullptr;
};

struct Sink {
  platform::FileHandle file;
  uint64_t bytes;
};

int keep(void* user, const void* data, int length) {
  auto* sink = static_cast<Sink*>(user);
  if (length < 0 || !platform::writeAll(sink->file, data, static_cast<size_t>(length))) return 0;
  sink->bytes += static_cast<uint64_t>(length);
  return 1;
}

// Page sizes straight from the frames, nothing of the dots kept.
class PageMeasure {
 public:
  explicit PageMeasure(std::vector<PageSize>* pages) : pages_(pages) {}
  void take(const escp::Frame& f) {
    if (f.kind == escp::FrameKind::kRasterRow) {
      now_.dotWidth = std::max(now_.dotWidth, static_cast<int>(f.unpacked.size()) * 4);
      now_.dotHeight = static_cast<int>(std::max<int64_t>(now_.dotHeight, line_ + 1));
      rows_ = true;
    } else if (f.kind == escp::FrameKind::kVerticalMove) {
      line_ += f.lines;
    } else if (f.kind == escp::FrameKind::kFormFeed) {
      endPage();
    }
  }
  void finish() {
    if (rows_) endPage();
  }

 private:
  void endPage() {
    pages_->push_back(now_);
    now_ = PageSize{};
    line_ = 0;
    rows_ = false;
  }
  std::vector<PageSize>* pages_;
  PageSize now_;
  int64_t line_ = 0;
  bool rows_ = false;
};

// The largest picture made: 2^28 cells (an 800 MB picture before it is
// packed) are past what a viewer opens, and take long to write.
constexpr uint64_t kMaxPictureCells = uint64_t{1} << 28;

// The pages the run will print, as the driver tells them before the first:
// their sizes, and a refusal of a picture too large to be worth making.
struct PagesAhead {
  const jPdevProofRun* run;
  int scale;  // of the picture, 0 for none
  std::vector<PageSize> sizes;
  std::string refusal;

  bool known() const {
    return !sizes.empty() &&
           std::all_of(sizes.begin(), sizes.end(), [](const PageSize& p) { return p.dotWidth > 0 && p.dotHeight > 0; });
  }
};

int pageAhead(void* user, int page, int32_t dotWidth, int32_t dotHeight) {
  auto* ahead = static_cast<PagesAhead*>(user);
  ahead->sizes.push_back({dotWidth, dotHeight});
  if (ahead->scale < 1 || dotWidth <= 0 || dotHeight <= 0) return 0;
  const escp::CellShape cell =
      escp::cellShape(ahead->scale, escp::Resolution{ahead->run->xResolution, ahead->run->yResolution});
  // A cell's sum must fit its 32 bits: cells of up to 2^20 dots of full coverage.
  if (uint64_t{escp::kFullCoverage} * static_cast<uint64_t>(cell.across) * static_cast<uint64_t>(cell.down) >
      UINT32_MAX) {
    ahead->refusal = "scale " + std::to_string(ahead->scale) + " too large: cells of " + std::to_string(cell.across) +
                     " x " + std::to_string(cell.down) + " dots (use a smaller --scale)";
    return 1;
  }
  const uint64_t cells = static_cast<uint64_t>((dotWidth + cell.across - 1) / cell.across) *
                         static_cast<uint64_t>((dotHeight + cell.down - 1) / cell.down);
  if (cells <= kMaxPictureCells) return 0;
  ahead->refusal = "page " + std::to_string(page + 1) + " (" + std::to_string(dotWidth) + " x " +
                   std::to_string(dotHeight) + " dots) too large to picture at scale " + std::to_string(ahead->scale) +
                   " (use a larger --scale)";
  return 1;
}

escp::ReadBytes readFrom(platform::FileHandle file) {
  return [file](uint8_t* into, size_t max) -> long long { return platform::readFile(file, into, max); };
}

bool measurePages(platform::FileHandle file, std::vector<PageSize>* pages, std::string* error) {
  PageMeasure measure(pages);
  escp::Problem problem{0, {}};
  if (!escp::decodeEachFrame(
          readFrom(file),
          [&](const escp::Frame& f) {
            measure.take(f);
            return true;
          },
          &problem)) {
    *error = problem.message;
    return false;
  }
  measure.finish();
  return true;
}

}  // namespace

bool proofJob(const char* path, const char* scratchFolder, int scale, const escp::PageRowTaker* take, ProofResult* out,
              std::string* error) {
  *out = ProofResult{};
  if (take && scale < 1) {
    *error = "scale must be 1 or more";
    return false;
  }
  ScratchFile scratch;
  if (!scratch.create(scratchFolder)) {
    *error = std::string("no temporary file can be made in ") + scratchFolder;
    return false;
  }
  Sink sink{scratch.handle(), 0};
  jPdevProofRun run{};
  run.write = keep;
  run.writeUser = &sink;
  PagesAhead ahead{&run, take ? scale : 0, {}, {}};
  run.page = pageAhead;
  run.pageUser = &ahead;
  if (jPdevProofFile(path, &run) != 1) {
    *error = !ahead.refusal.empty()
                 ? ahead.refusal
                 : "the job cannot be printed (not a job file, no driver for its machine, or no room for its stream)";
    return false;
  }
  std::memcpy(out->ink.account, run.account, sizeof out->ink.account);
  std::memcpy(out->ink.picolitres, run.inkPicolitres, sizeof out->ink.picolitres);
  out->streamBytes = sink.bytes;
  if (!scratch.reopenForReading()) {
    *error = "the stream's temporary file cannot be read back";
    return false;
  }
  // The pages' own sizes where the driver told them; else (a plug-in that
  // cannot) as the stream's rows reach, measured in a first read.
  escp::Problem problem{0, {}};
  if (ahead.known()) {
    out->pages = ahead.sizes;
  } else {
    if (!measurePages(scratch.handle(), &out->pages, error)) return false;
    if (!scratch.reopenForReading()) {
      *error = "the stream's temporary file cannot be read back";
      return false;
    }
  }
  if (!take) return true;
  // Each page's picture a row of cells at a time as the stream is read.
  escp::PageRows pages(scale, out->pages, *take);
  const bool whole = escp::decodeEachFrame(
      readFrom(scratch.handle()), [&](const escp::Frame& f) { return pages.take(f, error); }, &problem);
  if (whole && pages.finish(error)) return true;
  if (error->empty()) *error = whole || problem.message.empty() ? "a page could not be taken" : problem.message;
  return false;
}

}  // namespace proof
