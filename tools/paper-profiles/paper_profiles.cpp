// Writes the built-in paper-profile files of all six machines and both ink
// sets ("RX1.cpf0" ... "LX3.cpf1") into a folder.
//
//   paper-profiles <folder>
//
// Exit status 0 when all twelve files were written, 1 otherwise.
#include <cstdio>

#include "platform/path.h"
#include "tools/paper-profiles/builtin_papers.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: paper-profiles <folder>\n");
    return 1;
  }
  int failures = 0;
  for (const char* cpfName : papers::kCpfNames) {
    for (int inkSet = 0; inkSet < papers::kInkSets; ++inkSet) {
      char name[32];
      char path[platform::kMaxPath];
      std::snprintf(name, sizeof name, "%s%d", cpfName, inkSet);
      ColorProfile profiles[J_MAX_PROFILES];
      int count = papers::builtinPapers(cpfName, inkSet, profiles, J_MAX_PROFILES);
      if (!platform::joinPath(path, sizeof path, argv[1], name) || !jColorSaveProfiles(path, profiles, count)) {
        std::fprintf(stderr, "paper-profiles: cannot write %s in %s\n", name, argv[1]);
        ++failures;
      }
    }
  }
  return failures ? 1 : 0;
}
