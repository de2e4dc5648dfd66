// jPrintSetupInk: the account is loaded, shown and saved under the printing
// lock, held for the whole time the dialog is open so that no page of
// another process is added to an account that the user is about to replace.
#include "driver/ink/ink_setup.h"

#include "driver/ink/ink_file.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "platform/named_mutex.h"

namespace rx3 {
namespace {

InkDialog g_inkDialog = nullptr;

}  // namespace

void setInkDialog(InkDialog dialog) {
  g_inkDialog = dialog;
}

}  // namespace rx3

extern "C" int jPrintSetupInk(DeviceRecord* record, jHWND parent) {
  if (!record || !rx3::g_inkDialog) return 0;
  platform::NamedLock lock(rx3::kPrintLockName);
  InkEntry inks[rx3::kInkCount];
  jPrintLoadInk(record, inks);
  int result = rx3::g_inkDialog(inks, parent) == 1 ? 1 : 0;
  // A save that fails is reported as a failure: the account on disk is the
  // old one, and the caller must not believe the edits were kept.
  if (result == 1 && jPrintSaveInk(record, inks) != 1) result = 0;
  return result;
}
