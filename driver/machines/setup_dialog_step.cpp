#include "driver/machines/machine_records.h"

namespace rx3 {
namespace {

PrinterSetupDialog g_dialog = nullptr;

}  // namespace

void setPrinterSetupDialog(PrinterSetupDialog dialog) {
  g_dialog = dialog;
}

int runPrinterSetupDialog(DeviceRecord* copy, jHWND parent) {
  return g_dialog ? g_dialog(copy, parent) : 0;
}

}  // namespace rx3
