// The machine settings file, loaded by the plug-in's own export.
#include <cstring>

#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool attached = rx3::attachDriver(fuzz::scratchFile("RX3.dll").c_str());
  if (!attached || !fuzz::writeFile(fuzz::scratchFile("RX3.dev"), data, size)) return 0;
  DeviceRecord record{};
  record.machineIndex = size ? data[0] % 8 : 2;
  std::strcpy(record.displayName, size > 1 && data[1] & 1 ? "" : "EPSON RX-3");
  jPrintLoadMachine(&record);
  jPrintCloseMachine(&record);
  return 0;
}
