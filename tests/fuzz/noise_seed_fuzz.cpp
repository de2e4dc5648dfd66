// The noise seed text: a number is decimal or 0x-hexadecimal, and reads
// back as it prints.
#include <cstdio>

#include "driver/raster/page_buffers.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::text(data, size, 64);
  uint32_t seed = 0;
  if (!rx3::parseNoiseSeed(text.c_str(), &seed)) return 0;
  char printed[16];
  std::snprintf(printed, sizeof printed, "%u", static_cast<unsigned>(seed));
  uint32_t again = 1;
  FUZZ_CHECK(rx3::parseNoiseSeed(printed, &again) && again == seed);
  return 0;
}
