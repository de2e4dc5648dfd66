// The soft proof of a job: the dots its dry run would put on the paper,
// as a picture. The packed stream waits in a temporary file, with an index
// of where each page and band starts; the first page is summed into a
// reduced overview as the stream is made, another page from the file when
// it is asked for, and views at one pixel per dot decode only the rows and
// columns they show, from the nearest band start above them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Draw.h"
#include "EscDecode.h"
#include "app/shell/proof_scratch.h"

namespace vlx {

// Makes a job's printer stream through write, telling each page's size
// before the first through page (when it knows them; both with `user`): 1
// done, 0 cancelled, -1 failed, as the drawing library's dry run answers.
using ProofProducer =
    std::function<int(const std::atomic<int>& cancel, jPdevProofWrite write, jPdevProofPage page, void* user)>;

// The dry run of a job file through its machine's driver.
ProofProducer dryRunOfJobFile(std::string path);

struct ProofPicture {
  std::unique_ptr<ProofScratch> stream;  // the packed stream, on disk
  escp::StreamIndex index;
  int pages = 0;
  int page = 0;      // the page shown, 0-based
  int dotWidth = 0;  // of that page: the page the driver opened, else as far as its rows reach
  int dotHeight = 0;
  escp::Resolution resolution;  // of that page's dots
  escp::DotPage overview;       // that page in cells of overview.scale dots, as wide and long as the page
};

enum class ProofResult { kDone, kCancelled, kFailed };

// Runs the producer with the stream going to a file in scratchFolder, and
// indexes it and sums the first page's overview (its longer side at most
// maxCells cells) while it is made. `bytes` follows the stream's length as
// it grows. Only a picture made whole is kDone; otherwise nothing of it is
// kept, its file included.
ProofResult makeProofPicture(const ProofProducer& producer, const char* scratchFolder, const std::atomic<int>& cancel,
                             std::atomic<uint64_t>* bytes, int maxCells, ProofPicture* out);

// Shows another page of a made picture: its size and its overview, the
// longer side at most maxCells cells, summed from its part of the file.
// False when the page is not there or cannot be decoded (the picture is
// then unchanged).
bool showProofPage(ProofPicture* picture, int page, int maxCells);

// The dots of the page shown in a window of it, read from the file from
// the nearest band start above the window.
bool proofDots(const ProofPicture& picture, int x0, int y0, int width, int height, escp::DotBand* out);

// Where a picture of w x h lands when fitted into a box, centred, its
// shape kept.
struct ProofRect {
  int x, y, width, height;
};
ProofRect fitInto(int64_t width, int64_t height, int boxWidth, int boxHeight);

// Where the page shown lands when fitted into a box: its shape on paper,
// whatever the shape of its dots (1440 x 720 dpi: twice as many across).
ProofRect fitPage(const ProofPicture& picture, int boxWidth, int boxHeight);

// A scroll position kept inside [0, total - view] (0 when the view is wider).
int clampScroll(int position, int total, int view);

}  // namespace vlx
