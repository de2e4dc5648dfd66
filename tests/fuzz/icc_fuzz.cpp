// The ICC profile check of the drawing library.
#include "fuzz_support.h"
#include "libs/draw/color_profiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::scratchFile("profile.icc");
  if (!fuzz::writeFile(path, data, size)) return 0;
  jdraw::isIccProfile(path.c_str(), jdraw::ProfileSpace::Rgb);
  jdraw::isIccProfile(path.c_str(), jdraw::ProfileSpace::Cmyk);
  return 0;
}
