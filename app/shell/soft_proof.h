// The soft proof of a job: the dots its dry run would put on the paper,
// as a picture. The packed stream is kept (it is small); the first page is
// summed into a reduced overview as the stream is decoded, and views at one
// pixel per dot decode only the rows and columns they show.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Draw.h"
#include "EscDecode.h"

namespace vlx {

// Makes a job's printer stream through write: 1 done, 0 cancelled, -1
// failed, as the drawing library's dry run answers.
using ProofProducer = std::function<int(const std::atomic<int>& cancel, jPdevProofWrite write, void* user)>;

// The dry run of a job file through its machine's driver.
ProofProducer dryRunOfJobFile(std::string path);

struct ProofPicture {
  std::vector<uint8_t> stream;
  int pages = 0;
  int dotWidth = 0;  // of the first page
  int dotHeight = 0;
  escp::DotPage overview;  // the first page in cells of overview.scale dots
};

enum class ProofResult { kDone, kCancelled, kFailed };

// Runs the producer and builds the overview, its longer side at most
// maxCells cells. `bytes` follows the stream's length as it grows.
ProofResult makeProofPicture(const ProofProducer& producer, const std::atomic<int>& cancel, std::atomic<size_t>* bytes,
                             int maxCells, ProofPicture* out);

// Where a picture of w x h lands when fitted into a box, centred, its
// shape kept.
struct ProofRect {
  int x, y, width, height;
};
ProofRect fitInto(int width, int height, int boxWidth, int boxHeight);

// A scroll position kept inside [0, total - view] (0 when the view is wider).
int clampScroll(int position, int total, int view);

}  // namespace vlx
