// A program that loads the drawing library as a plug-in host may: by path,
// without global symbols (RTLD_LOCAL), and makes one dry run of a job with
// it. Run by the test that bounds its time; exit status 0 when the run went
// through, 1 to 4 when a step before it failed, 5 when it did not.
//   local_draw_probe <Draw library> <printer folder> <job file>
#include <dlfcn.h>

#include "Draw.h"

int main(int argc, char** argv) {
  if (argc != 4) return 1;
  void* draw = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!draw) return 2;
  auto open = reinterpret_cast<int (*)(jHWND, const jDrawOpenParams*)>(dlsym(draw, "jDrawOpen"));
  auto printerFolder = reinterpret_cast<int (*)(const char*)>(dlsym(draw, "jPdevSetPrinterFolder"));
  auto proofFile = reinterpret_cast<int (*)(const char*, jPdevProofRun*)>(dlsym(draw, "jPdevProofFile"));
  if (!open || !printerFolder || !proofFile) return 3;
  const jDrawOpenParams params{1000, {}};
  if (open(nullptr, &params) != 1 || printerFolder(argv[2]) != 1) return 4;
  jPdevProofRun run{};
  return proofFile(argv[3], &run) == 1 ? 0 : 5;
}
