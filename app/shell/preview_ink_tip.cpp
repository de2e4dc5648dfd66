#include "app/shell/preview_ink_tip.h"

#include <string>

#include "app/jobs/job_ink.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/job_selection.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr char kHeading[] = "ｲﾝｸ見積り\r\n";
constexpr char kBeingEstimated[] = "ｲﾝｸ見積り: 見積り中...";

}  // namespace

void previewInkTip(AppState* state, int listIndex, char* out, std::size_t capacity) {
  if (!out || capacity == 0) return;
  out[0] = '\0';
  if (!state || (listIndex != kPrintList && listIndex != kPrintedList)) return;
  std::string path;
  {
    JobListLock lock;
    if (const JobRecord* job = firstSelectedJob(state, listIndex)) path = job->path;
  }
  if (path.empty()) return;
  InkEstimate estimate;
  if (!jobInk(path.c_str(), &estimate)) {
    if (jobInkRunning()) platform::copyTruncated(out, capacity, kBeingEstimated);
    return;
  }
  char lines[512];
  formatInkEstimate(estimate, lines, sizeof lines);
  platform::copyTruncated(out, capacity, (kHeading + std::string(lines)).c_str());
}

}  // namespace vlx
