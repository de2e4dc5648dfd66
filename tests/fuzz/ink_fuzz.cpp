// The ink file, read through the plug-in's export and its line reader.
#include <cstring>

#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool attached = rx3::attachDriver(fuzz::scratchFile("RX3.dll").c_str());
  if (!attached || !fuzz::writeFile(fuzz::scratchFile("EPSON RX-3.ink"), data, size)) return 0;
  DeviceRecord record{};
  record.machineIndex = 2;
  std::strcpy(record.displayName, "EPSON RX-3");
  InkEntry inks[8];
  const int count = jPrintLoadInk(&record, inks);
  FUZZ_CHECK(count >= 0 && count <= 8);
  for (const InkEntry& ink : inks) FUZZ_CHECK(std::memchr(ink.name, '\0', sizeof ink.name) != nullptr);
  return 0;
}
