// The ink dialog's step of jPrintSetupInk. The Win32 shell registers the
// real dialog at module attach; without one the export shows nothing and
// answers 0, as a cancelled dialog.
#pragma once

#include "PrintDriver.h"

namespace rx3 {

// Runs modally over the working account (eight inks); 1 = OK, 0 = cancel.
using InkDialog = int (*)(InkEntry* inks, jHWND parent);
void setInkDialog(InkDialog dialog);

}  // namespace rx3
