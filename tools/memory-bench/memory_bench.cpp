// memory-bench: one operation on a job file through the drawing library and
// the installed driver, in a process of its own so that its peak memory is
// the operation's:
//
//   memory-bench --printer <folder> --print <job.vjx>
//   memory-bench --printer <folder> --estimate <job.vjx>
//
// --print prints the job through the device the printer folder's registry
// gives its machine (the script points it at a file port); --estimate makes
// the dry run the queue's ink estimate makes. Prints the seconds taken; exit status
// 1 when the operation failed, 2 for bad arguments. The script
// tools/memory-bench/memory-bench runs it and reports the peaks.
#include <cstdio>
#include <cstring>
#include <string>

#include "Base.h"
#include "Draw.h"
#include "platform/clock.h"
#include "platform/file.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: memory-bench --printer <folder> (--print | --estimate) <job>\n");
  return 2;
}

int print(const std::string& job) {
  jDEVICE device = jFileLoadDRXDevOpen(job.c_str());
  void* setting = device ? jFileLoadDRXDevSetting(job.c_str()) : nullptr;
  jDrawDocParams params{nullptr, 0, 100000, 256, 16, 3, 1, 1};
  const int32_t document = setting ? jDrawGDBOpen(&params) : 0;
  int printed = 0;
  if (document && jFileLoad(document, 16, 0, job.c_str()) == 1)
    printed = jPdevPrint(nullptr, document, device, 0, setting);
  if (document) jDrawGDBClose(document);
  if (setting) jMemFree(setting);
  if (device) jPdevClose(device);
  return printed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || std::strcmp(argv[1], "--printer") != 0) return usage();
  const std::string printer = argv[2], op = argv[3], job = argv[4];
  if (argc != 5 || (op != "--print" && op != "--estimate")) return usage();
  jDrawOpenParams open{1000, {}};
  if (jDrawOpen(nullptr, &open) != 1 || jPdevSetPrinterFolder(printer.c_str()) != 1) {
    std::fprintf(stderr, "memory-bench: no printer folder %s\n", printer.c_str());
    return 1;
  }
  const long long start = platform::monotonicMilliseconds();
  int done = 0;
  if (op == "--print") {
    done = print(job);
  } else {
    jPdevProofRun run{};
    done = jPdevProofFile(job.c_str(), &run);
  }
  jDrawClose();
  std::printf("%s %.1f s\n", op.c_str() + 2, (platform::monotonicMilliseconds() - start) / 1000.0);
  if (done != 1) {
    std::fprintf(stderr, "memory-bench: %s failed\n", op.c_str() + 2);
    return 1;
  }
  return 0;
}
