// The host keyword's one-line file.
#include <cstring>

#include "fuzz_support.h"
#include "libs/base/oem_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char keyword[64];
  std::memset(keyword, 0x7F, sizeof keyword);
  jbase::oemKeywordOf(reinterpret_cast<const char*>(data), size, keyword);
  FUZZ_CHECK(std::memchr(keyword, '\0', sizeof keyword) != nullptr);
  return 0;
}
