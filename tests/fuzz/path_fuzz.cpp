// The path helpers on hostile Shift-JIS paths: two texts split at the
// first zero byte, joined, split and re-extended into 260-byte buffers.
#include <cstring>

#include "fuzz_support.h"
#include "platform/path.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string all(reinterpret_cast<const char*>(data), size < 1200 ? size : 1200);
  const std::size_t zero = all.find('\0');
  const std::string folder = all.substr(0, zero).c_str();
  const std::string name = zero == std::string::npos ? "" : all.substr(zero + 1).c_str();
  char out[platform::kMaxPath];
  if (platform::joinPath(out, sizeof out, folder.c_str(), name.c_str())) {
    FUZZ_CHECK(std::strlen(out) < sizeof out);
    char part[platform::kMaxPath];
    if (platform::folderPart(out, part, sizeof part)) FUZZ_CHECK(std::strlen(part) <= std::strlen(out));
    const char* file = platform::fileNamePart(out);
    FUZZ_CHECK(file >= out && file <= out + std::strlen(out));
    platform::replaceExtension(out, sizeof out, ".dev");
    FUZZ_CHECK(std::strlen(out) < sizeof out);
    platform::ensureTrailingSeparator(out, sizeof out);
    platform::removeTrailingSeparators(out);
    platform::cutExtension(out);
  }
  char copy[16];
  platform::copyTruncated(copy, sizeof copy, folder.c_str());
  FUZZ_CHECK(std::strlen(copy) < sizeof copy);
  platform::compareNoCase(folder.c_str(), name.c_str());
  platform::endsWithNoCase(folder.c_str(), name.c_str());
  return 0;
}
