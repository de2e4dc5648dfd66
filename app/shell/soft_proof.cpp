#include "app/shell/soft_proof.h"

#include <algorithm>

#include "app/jobs/dry_run_estimate.h"

namespace vlx {
namespace {

// Where the dry run's bytes go: the file, and the decoder that indexes the
// stream and sums its first page as it passes.
struct Collect {
  ProofScratch* file;
  escp::FrameFeed* feed;
  std::atomic<uint64_t>* bytes;
  const std::atomic<int>* cancel;
  bool fileFailed = false;
};

int collect(void* user, const void* data, int length) {
  auto* c = static_cast<Collect*>(user);
  if (c->cancel->load() || length < 0) return 0;  // a closed window ends the run at once
  if (!c->file->write(data, static_cast<size_t>(length))) {
    c->fileFailed = true;  // a full disk: no picture rather than half of one
    return 0;
  }
  if (!c->feed->write(data, static_cast<size_t>(length), c->cancel)) return 0;
  if (c->bytes) c->bytes->store(c->file->size());
  return 1;
}

escp::ReadBytes pageBytes(const ProofPicture& picture, const escp::PageStart& p) {
  return escp::readFileRange(picture.stream->file())(p.offset, p.end);
}

}  // namespace

ProofProducer dryRunOfJobFile(std::string path) {
  return [path = std::move(path)](const std::atomic<int>& cancel, jPdevProofWrite write, void* user) {
    jPdevProofRun run = dryRunCancelledBy(cancel);
    run.write = write;
    run.writeUser = user;
    return jPdevProofFile(path.c_str(), &run);
  };
}

ProofResult makeProofPicture(const ProofProducer& producer, const char* scratchFolder, const std::atomic<int>& cancel,
                             std::atomic<uint64_t>* bytes, int maxCells, ProofPicture* out) {
  *out = ProofPicture{};
  auto file = std::make_unique<ProofScratch>();
  if (!file->create(scratchFolder)) return ProofResult::kFailed;
  escp::StreamIndexer indexer;
  escp::PageOverview overview(maxCells);
  std::string error;
  ProofResult result = ProofResult::kFailed;
  {
    // The feed's thread visits the frames while the producer makes them; it
    // is done with the indexer and the overview once finish returns.
    escp::FrameFeed feed([&](const escp::Frame& f) { return indexer.take(f, &error) && overview.take(f, &error); });
    Collect c{file.get(), &feed, bytes, &cancel};
    const int made = producer(cancel, collect, &c);
    escp::Problem problem{0, {}};
    const bool decoded = !c.fileFailed && made == 1 && !cancel.load() && feed.finish(&problem, &cancel);
    if (cancel.load() && !c.fileFailed) return ProofResult::kCancelled;
    if (decoded && file->flush()) result = ProofResult::kDone;
  }
  if (result != ProofResult::kDone) return result;
  out->index = indexer.finish(file->size());
  out->pages = static_cast<int>(out->index.pages.size());
  if (out->pages == 0) return ProofResult::kFailed;
  out->page = 0;
  out->dotWidth = out->index.pages[0].dotWidth;
  out->dotHeight = out->index.pages[0].dotHeight;
  out->overview = overview.takePage();
  out->stream = std::move(file);
  return ProofResult::kDone;
}

bool showProofPage(ProofPicture* picture, int page, int maxCells) {
  if (!picture->stream || page < 0 || page >= static_cast<int>(picture->index.pages.size())) return false;
  const escp::PageStart& p = picture->index.pages[static_cast<size_t>(page)];
  if (p.end > picture->stream->size() || p.offset > p.end) return false;
  escp::PageOverview overview(maxCells);
  std::string error;
  escp::Problem problem{0, {}};
  const bool whole = escp::decodeEachFrame(
      pageBytes(*picture, p), [&](const escp::Frame& f) { return overview.take(f, &error) && !overview.ended(); },
      &problem);
  if (!whole && (!error.empty() || !problem.message.empty())) return false;
  picture->page = page;
  picture->dotWidth = p.dotWidth;
  picture->dotHeight = p.dotHeight;
  picture->overview = overview.takePage();
  return true;
}

bool proofDots(const ProofPicture& picture, int x0, int y0, int width, int height, escp::DotBand* out) {
  if (!picture.stream) return false;
  std::string error;
  return escp::decodeBandIndexed(escp::readFileRange(picture.stream->file()), picture.stream->size(), picture.index,
                                 picture.page, x0, y0, width, height, out, &error);
}

ProofRect fitInto(int width, int height, int boxWidth, int boxHeight) {
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return {0, 0, 0, 0};
  int w = boxWidth;
  int h = static_cast<int>(int64_t{height} * boxWidth / width);
  if (h > boxHeight) {
    h = boxHeight;
    w = static_cast<int>(int64_t{width} * boxHeight / height);
  }
  w = std::max(w, 1);
  h = std::max(h, 1);
  return {(boxWidth - w) / 2, (boxHeight - h) / 2, w, h};
}

int clampScroll(int position, int total, int view) {
  return std::clamp(position, 0, std::max(0, total - view));
}

}  // namespace vlx
