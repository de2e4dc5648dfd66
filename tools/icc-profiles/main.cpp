// vlx-icc-profiles <folder>: writes "sRGB Color Space Profile.icm" and
// "JapanColor2001Coated.icc" into folder, and beside them the press profile
// of every total ink a built-in paper takes ("JapanColor2001Coated-120.icc"
// and so on), so that no paper of the installation makes its own at its
// first print.
#include <cstdio>
#include <set>

#include "libs/press/icc_writer.h"
#include "platform/path.h"
#include "tools/paper-profiles/builtin_papers.h"

namespace {

std::set<int> builtinLimits() {
  std::set<int> limits;
  for (const char* cpf : papers::kCpfNames)
    for (int inkSet = 0; inkSet < papers::kInkSets; ++inkSet) {
      ColorProfile profiles[32];
      const int count = papers::builtinPapers(cpf, inkSet, profiles, 32);
      for (int i = 0; i < count; ++i)
        if (profiles[i].inkLimit > 0 && profiles[i].inkLimit < icc::kDefaultTotalInk)
          limits.insert(profiles[i].inkLimit);
    }
  return limits;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vlx-icc-profiles <folder>\n");
    return 2;
  }
  if (!icc::writeDefaultProfiles(argv[1])) {
    std::fprintf(stderr, "vlx-icc-profiles: cannot write the profiles into %s\n", argv[1]);
    return 1;
  }
  for (int limit : builtinLimits()) {
    char name[64], path[platform::kMaxPath];
    if (!icc::paperProfileName(name, sizeof name, limit) || !platform::joinPath(path, sizeof path, argv[1], name) ||
        !icc::writeProfile(path, icc::cmykOutputProfile(limit))) {
      std::fprintf(stderr, "vlx-icc-profiles: cannot write the %d %% profile into %s\n", limit, argv[1]);
      return 1;
    }
  }
  return 0;
}
