// The device registry: parsed, written and parsed again, the text written
// the second time is the first one.
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "libs/spool/device_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto registry = std::make_unique<spool::DeviceRegistry>();
  static std::vector<char> first(256 * 1024), second(256 * 1024);
  spool::parseRegistry(reinterpret_cast<const char*>(data), size, registry.get());
  const std::size_t length = spool::formatRegistry(*registry, first.data(), first.size());
  FUZZ_CHECK(length > 0);
  spool::parseRegistry(first.data(), length, registry.get());
  const std::size_t again = spool::formatRegistry(*registry, second.data(), second.size());
  FUZZ_CHECK(again == length && std::equal(first.begin(), first.begin() + length, second.begin()));
  return 0;
}
