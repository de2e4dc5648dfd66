// Helpers shared by the record exports, the settings file and the setup
// dialog.
#pragma once

#include "PrintDriver.h"

namespace rx3 {

// Puts folder and a separator in front of the file-name part of a colour
// file field (260 bytes). An empty field stays empty; a result that would
// not fit empties the field and gives false.
bool rebaseColorFile(char* field, const char* folder);

// The printer setup dialog's step of jPrintSetupMachine: runs on the
// working copy of the record and returns the dialog's result (1 = OK). The
// Win32 shell registers the real dialog; without one the step returns 0
// (as a cancelled dialog) and nothing changes.
using PrinterSetupDialog = int (*)(DeviceRecord* copy, jHWND parent);
void setPrinterSetupDialog(PrinterSetupDialog dialog);
int runPrinterSetupDialog(DeviceRecord* copy, jHWND parent);

}  // namespace rx3
