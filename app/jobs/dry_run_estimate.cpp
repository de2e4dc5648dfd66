#include "app/jobs/dry_run_estimate.h"

#include <cstring>

#include "libs/draw/proof_print.h"

namespace vlx {

bool estimateByDryRun(const char* path, const std::atomic<int>& cancel, InkEstimate* out) {
  jPdevProofRun run{};
  run.cancel = &cancel;
  if (jPdevProofFile(path, &run) != 1) return false;
  static_assert(sizeof out->account == sizeof run.account && sizeof out->picolitres == sizeof run.inkPicolitres);
  std::memcpy(out->account, run.account, sizeof out->account);
  std::memcpy(out->picolitres, run.inkPicolitres, sizeof out->picolitres);
  return true;
}

}  // namespace vlx
