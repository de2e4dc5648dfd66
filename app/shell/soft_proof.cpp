#include "app/shell/soft_proof.h"

#include <algorithm>

#include "app/jobs/dry_run_estimate.h"

namespace vlx {
namespace {

struct Collect {
  std::vector<uint8_t>* stream;
  std::atomic<size_t>* bytes;
  const std::atomic<int>* cancel;
};

int collect(void* user, const void* data, int length) {
  auto* c = static_cast<Collect*>(user);
  if (c->cancel->load() || length < 0) return 0;  // a closed window ends the run at once
  const auto* p = static_cast<const uint8_t*>(data);
  c->stream->insert(c->stream->end(), p, p + length);
  if (c->bytes) c->bytes->store(c->stream->size());
  return 1;
}

// Cells of the overview: a page summed so that its longer side fits.
int overviewScale(int dotWidth, int dotHeight, int maxCells) {
  const int longer = std::max(dotWidth, dotHeight);
  return std::max(1, (longer + maxCells - 1) / std::max(1, maxCells));
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

ProofResult makeProofPicture(const ProofProducer& producer, const std::atomic<int>& cancel, std::atomic<size_t>* bytes,
                             int maxCells, ProofPicture* out) {
  *out = ProofPicture{};
  Collect c{&out->stream, bytes, &cancel};
  const int made = producer(cancel, collect, &c);
  if (cancel.load()) return ProofResult::kCancelled;
  if (made != 1) return ProofResult::kFailed;
  // Measured first (cells as large as a page), then summed at the scale
  // that fits: two passes over the small packed stream, never the dots.
  std::vector<escp::DotPage> pages;
  std::string error;
  if (!escp::buildPagesEachFrame(out->stream.data(), out->stream.size(), 1 << 20, &pages, &error, &cancel))
    return cancel.load() ? ProofResult::kCancelled : ProofResult::kFailed;
  if (pages.empty()) return ProofResult::kFailed;
  out->pages = static_cast<int>(pages.size());
  out->dotWidth = pages[0].dotWidth;
  out->dotHeight = pages[0].dotHeight;
  const int scale = overviewScale(out->dotWidth, out->dotHeight, maxCells);
  if (!escp::buildPagesEachFrame(out->stream.data(), out->stream.size(), scale, &pages, &error, &cancel, 1))
    return cancel.load() ? ProofResult::kCancelled : ProofResult::kFailed;
  out->overview = std::move(pages[0]);
  return ProofResult::kDone;
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
