#include "app/shell/crash_leftovers.h"

#include "SPOOL.h"
#include "platform/atomic_file.h"
#include "platform/path.h"

namespace vlx {

int sweepCrashLeftovers(const AppState& state, const char* registryPath) {
  int removed = 0;
  char folder[platform::kMaxPath];
  if (platform::folderPart(state.environmentPath, folder, sizeof folder) && folder[0])
    removed += platform::sweepAtomicLeftovers(folder, kLeftoverSeconds);
  if (state.printerFolder[0]) removed += platform::sweepAtomicLeftovers(state.printerFolder, kLeftoverSeconds);
  if (registryPath && registryPath[0]) removed += jSplSweepPorts(registryPath, kLeftoverSeconds);
  return removed;
}

}  // namespace vlx
