#include "app/shell/hand_over.h"

#include "app/jobs/folder_scan.h"

namespace vlx {

int rescanAfterHandOver(ShellContext* context) {
  if (context == nullptr) return 0;
  rescanFolders(context->state, ViewFill::Append);
  return ++context->handOverRescans;
}

}  // namespace vlx
