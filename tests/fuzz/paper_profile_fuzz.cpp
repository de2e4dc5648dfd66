// A paper-profile file of the device-colour library.
#include <cstring>

#include "Device.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::scratchFile("RX3.cpf0");
  if (!fuzz::writeFile(path, data, size)) return 0;
  static ColorProfile profiles[J_MAX_PROFILES];
  const int count = jColorLoadProfiles(path.c_str(), profiles, J_MAX_PROFILES);
  FUZZ_CHECK(count >= 0 && count <= J_MAX_PROFILES);
  for (int i = 0; i < count; ++i) {
    FUZZ_CHECK(std::memchr(profiles[i].name, '\0', sizeof profiles[i].name));
    FUZZ_CHECK(std::memchr(profiles[i].conversionFunction, '\0', sizeof profiles[i].conversionFunction));
  }
  return 0;
}
