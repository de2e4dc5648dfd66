// The soft proof of a job: the dots its dry run would put on the paper,
// as a picture. The packed stream is kept with an index of where each page
// and band starts; the page shown is summed into a reduced overview, and
// views at one pixel per dot decode only the rows and columns they show,
// from the nearest band start above them.
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
  escp::StreamIndex index;
  int pages = 0;
  int page = 0;      // the page shown, 0-based
  int dotWidth = 0;  // of that page
  int dotHeight = 0;
  escp::DotPage overview;  // that page in cells of overview.scale dots
};

enum class ProofResult { kDone, kCancelled, kFailed };

// Runs the producer and builds the overview, its longer side at most
// maxCells cells. `bytes` follows the stream's length as it grows.
ProofResult makeProofPicture(const ProofProducer& producer, const std::atomic<int>& cancel, std::atomic<size_t>* bytes,
                             int maxCells, ProofPicture* out);

// Shows another page of a made picture: its size and its overview, the
// longer side at most maxCells cells. False when the page is not there or
// its part of the stream cannot be decoded (the picture is then unchanged).
bool showProofPage(ProofPicture* picture, int page, int maxCells);

// Where a picture of w x h lands when fitted into a box, centred, its
// shape kept.
struct ProofRect {
  int x, y, width, height;
};
ProofRect fitInto(int width, int height, int boxWidth, int boxHeight);

// A scroll position kept inside [0, total - view] (0 when the view is wider).
int clampScroll(int position, int total, int view);

}  // namespace vlx
