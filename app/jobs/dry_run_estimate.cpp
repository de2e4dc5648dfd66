#include "app/jobs/dry_run_estimate.h"

#include <cstring>

namespace vlx {
namespace {

int flagSet(void* flag) {
  return static_cast<const std::atomic<int>*>(flag)->load() != 0 ? 1 : 0;
}

}  // namespace

jPdevProofRun dryRunCancelledBy(const std::atomic<int>& cancel) {
  jPdevProofRun run{};
  run.cancelled = flagSet;
  run.cancelUser = const_cast<std::atomic<int>*>(&cancel);  // only read
  return run;
}

bool estimateByDryRun(const char* path, const std::atomic<int>& cancel, InkEstimate* out) {
  jPdevProofRun run = dryRunCancelledBy(cancel);
  if (jPdevProofFile(path, &run) != 1) return false;
  static_assert(sizeof out->account == sizeof run.account && sizeof out->picolitres == sizeof run.inkPicolitres);
  std::memcpy(out->account, run.account, sizeof out->account);
  std::memcpy(out->picolitres, run.inkPicolitres, sizeof out->picolitres);
  return true;
}

}  // namespace vlx
