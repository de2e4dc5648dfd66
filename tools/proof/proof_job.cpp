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

escp::ReadBytes readFrom(platform::FileHandle file) {
  return [file](uint8_t* into, size_t max) -> long long { return platform::readFile(file, into, max); };
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
  if (jPdevProofFile(path, &run) != 1) {
    *error = "the job cannot be printed (not a job file, no driver for its machine, or no room for its stream)";
    return false;
  }
  std::memcpy(out->ink.account, run.account, sizeof out->ink.account);
  std::memcpy(out->ink.picolitres, run.inkPicolitres, sizeof out->ink.picolitres);
  out->streamBytes = sink.bytes;
  if (!scratch.reopenForReading()) {
    *error = "the stream's temporary file cannot be read back";
    return false;
  }
  PageMeasure measure(&out->pages);
  escp::Problem problem{0, {}};
  if (!escp::decodeEachFrame(
          readFrom(scratch.handle()),
          [&](const escp::Frame& f) {
            measure.take(f);
            return true;
          },
          &problem)) {
    *error = problem.message;
    return false;
  }
  measure.finish();
  if (!take) return true;
  // The pages' sizes known, their pictures are made a row at a time from
  // the stream read again.
  if (!scratch.reopenForReading()) {
    *error = "the stream's temporary file cannot be read back";
    return false;
  }
  escp::PageRows pages(scale, out->pages, *take);
  const bool whole = escp::decodeEachFrame(
      readFrom(scratch.handle()), [&](const escp::Frame& f) { return pages.take(f, error); }, &problem);
  if (whole && pages.finish(error)) return true;
  if (error->empty()) *error = whole || problem.message.empty() ? "a page could not be taken" : problem.message;
  return false;
}

}  // namespace proof
