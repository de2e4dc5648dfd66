#include "app/shell/soft_proof.h"

#include <algorithm>
#include <utility>
#include <vector>

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
  std::vector<escp::PageSize> sizes;  // as the producer told them
};

int notePage(void* user, int, int32_t dotWidth, int32_t dotHeight) {
  static_cast<Collect*>(user)->sizes.push_back({dotWidth, dotHeight});
  return 0;
}

// The overview cut or widened to the page's own cells: the stream's rows
// may reach past the page with blank dots (a row whose packing grew is
// padded), or stop short of it (a drawing narrower than the page).
void fitToPage(escp::DotPage* overview, int dotWidth, int dotHeight) {
  const int scale = overview->scale;
  const int wide = (dotWidth + scale - 1) / scale, high = (dotHeight + scale - 1) / scale;
  for (auto& plane : overview->ink) {
    std::vector<uint32_t> cells(static_cast<size_t>(wide) * high, 0);
    for (int y = 0; y < std::min(high, overview->height); ++y)
      std::copy_n(plane.begin() + static_cast<ptrdiff_t>(y) * overview->width, std::min(wide, overview->width),
                  cells.begin() + static_cast<ptrdiff_t>(y) * wide);
    plane.swap(cells);
  }
  overview->width = wide;
  overview->height = high;
  overview->dotWidth = dotWidth;
  overview->dotHeight = dotHeight;
}

void showPage(ProofPicture* picture, int page, escp::PageOverview* summed) {
  const escp::PageStart& p = picture->index.pages[static_cast<size_t>(page)];
  picture->page = page;
  picture->dotWidth = p.dotWidth;
  picture->dotHeight = p.dotHeight;
  picture->resolution = p.resolution;
  summed->reach(p.dotWidth, p.dotHeight);
  picture->overview = summed->takePage();
  fitToPage(&picture->overview, p.dotWidth, p.dotHeight);
}

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
  return
      [path = std::move(path)](const std::atomic<int>& cancel, jPdevProofWrite write, jPdevProofPage page, void* user) {
        jPdevProofRun run = dryRunCancelledBy(cancel);
        run.write = write;
        run.writeUser = user;
        run.page = page;
        run.pageUser = user;
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
  std::vector<escp::PageSize> sizes;
  std::string error;
  ProofResult result = ProofResult::kFailed;
  {
    // The feed's thread visits the frames while the producer makes them; it
    // is done with the indexer and the overview once finish returns.
    escp::FrameFeed feed([&](const escp::Frame& f) { return indexer.take(f, &error) && overview.take(f, &error); });
    Collect c{file.get(), &feed, bytes, &cancel};
    const int made = producer(cancel, collect, notePage, &c);
    sizes = std::move(c.sizes);
    escp::Problem problem{0, {}};
    const bool decoded = !c.fileFailed && made == 1 && !cancel.load() && feed.finish(&problem, &cancel);
    if (cancel.load() && !c.fileFailed) return ProofResult::kCancelled;
    if (decoded && file->flush()) result = ProofResult::kDone;
  }
  if (result != ProofResult::kDone) return result;
  out->index = indexer.finish(file->size());
  out->pages = static_cast<int>(out->index.pages.size());
  if (out->pages == 0) return ProofResult::kFailed;
  // The pages the driver opened, where it told them: the same at every run,
  // whatever the halftone made of the rows' ends.
  if (sizes.size() == out->index.pages.size())
    for (size_t i = 0; i < sizes.size(); ++i)
      if (sizes[i].dotWidth > 0 && sizes[i].dotHeight > 0) {
        out->index.pages[i].dotWidth = sizes[i].dotWidth;
        out->index.pages[i].dotHeight = sizes[i].dotHeight;
      }
  showPage(out, 0, &overview);
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
  showPage(picture, page, &overview);
  return true;
}

bool proofDots(const ProofPicture& picture, int x0, int y0, int width, int height, escp::DotBand* out) {
  if (!picture.stream) return false;
  std::string error;
  return escp::decodeBandIndexed(escp::readFileRange(picture.stream->file()), picture.stream->size(), picture.index,
                                 picture.page, x0, y0, width, height, out, &error);
}

ProofRect fitInto(int64_t width, int64_t height, int boxWidth, int boxHeight) {
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return {0, 0, 0, 0};
  int w = boxWidth;
  int h = static_cast<int>(static_cast<double>(height) * boxWidth / static_cast<double>(width));
  if (h > boxHeight) {
    h = boxHeight;
    w = static_cast<int>(static_cast<double>(width) * boxHeight / static_cast<double>(height));
  }
  w = std::max(w, 1);
  h = std::max(h, 1);
  return {(boxWidth - w) / 2, (boxHeight - h) / 2, w, h};
}

ProofRect fitPage(const ProofPicture& picture, int boxWidth, int boxHeight) {
  // Each side's dots counted at the other side's resolution: lengths on paper, to scale.
  const escp::Resolution r = picture.resolution;
  if (r.x <= 0 || r.y <= 0) return fitInto(picture.dotWidth, picture.dotHeight, boxWidth, boxHeight);
  return fitInto(int64_t{picture.dotWidth} * r.y, int64_t{picture.dotHeight} * r.x, boxWidth, boxHeight);
}

int clampScroll(int position, int total, int view) {
  return std::clamp(position, 0, std::max(0, total - view));
}

}  // namespace vlx
