// vlx-icc-profiles <folder>: writes "sRGB Color Space Profile.icm" and
// "JapanColor2001Coated.icc" into folder.
#include <cstdio>

#include "tools/icc-profiles/icc_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vlx-icc-profiles <folder>\n");
    return 2;
  }
  if (!icc::writeDefaultProfiles(argv[1])) {
    std::fprintf(stderr, "vlx-icc-profiles: cannot write the profiles into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
