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
  // Indexed (and each page measured) first, then the first page summed at
  // the scale that fits: passes over the packed stream, never the dots.
  std::string error;
  if (!escp::indexStream(out->stream.data(), out->stream.size(), &out->index, &error, &cancel))
    return cancel.load() ? ProofResult::kCancelled : ProofResult::kFailed;
  out->pages = static_cast<int>(out->index.pages.size());
  if (out->pages == 0) return ProofResult::kFailed;
  if (!showProofPage(out, 0, maxCells)) return cancel.load() ? ProofResult::kCancelled : ProofResult::kFailed;
  return ProofResult::kDone;
}

bool showProofPage(ProofPicture* picture, int page, int maxCells) {
  if (page < 0 || page >= static_cast<int>(picture->index.pages.size())) return false;
  const escp::PageStart& p = picture->index.pages[static_cast<size_t>(page)];
  if (p.end > picture->stream.size() || p.offset > p.end) return false;
  const int scale = overviewScale(p.dotWidth, p.dotHeight, maxCells);
  std::vector<escp::DotPage> built;
  std::string error;
  if (!escp::buildPagesEachFrame(picture->stream.data() + p.offset, p.end - p.offset, scale, &built, &error, nullptr,
                                 1) ||
      built.empty())
    return false;
  picture->page = page;
  picture->dotWidth = p.dotWidth;
  picture->dotHeight = p.dotHeight;
  picture->overview = std::move(built[0]);
  return true;
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
