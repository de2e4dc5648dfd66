// memory-bench: one operation on a job file through the drawing library and
// the installed driver, in a process of its own so that its peak memory is
// the operation's:
//
//   memory-bench --printer <folder> --print <job.vjx>
//   memory-bench --printer <folder> --estimate <job.vjx>
//   memory-bench --printer <folder> --soft-proof <job.vjx>
//
// --print prints the job through the device the printer folder's registry
// gives its machine (the script points it at a file port); --estimate makes
// the dry run the queue's ink estimate makes; --soft-proof makes the queue's
// soft proof picture (its stream in a file in the printer folder) and looks
// at a screen of dots at one pixel per dot in the middle of its page. Prints
// the seconds taken; exit status 1 when the operation failed, 2 for bad
// arguments. The script tools/memory-bench/memory-bench runs it and reports
// the peaks.
#include <cstdio>
#include <cstring>
#include <string>

#include <atomic>

#include "Base.h"
#include "Draw.h"
#include "app/shell/soft_proof.h"
#include "platform/clock.h"
#include "platform/file.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: memory-bench --printer <folder> (--print | --estimate | --soft-proof) <job>\n");
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

// The window's overview bound and a full-HD screen of dots.
bool softProof(const std::string& job, const std::string& scratch) {
  std::atomic<int> cancel{0};
  vlx::ProofPicture picture;
  if (vlx::makeProofPicture(vlx::dryRunOfJobFile(job), scratch.c_str(), cancel, nullptr, 1024, &picture) !=
      vlx::ProofResult::kDone)
    return false;
  escp::DotBand band;
  return vlx::proofDots(picture, picture.dotWidth / 2, picture.dotHeight / 2, 1920, 1080, &band);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || std::strcmp(argv[1], "--printer") != 0) return usage();
  const std::string printer = argv[2], op = argv[3], job = argv[4];
  if (argc != 5 || (op != "--print" && op != "--estimate" && op != "--soft-proof")) return usage();
  jDrawOpenParams open{1000, {}};
  if (jDrawOpen(nullptr, &open) != 1 || jPdevSetPrinterFolder(printer.c_str()) != 1) {
    std::fprintf(stderr, "memory-bench: no printer folder %s\n", printer.c_str());
    return 1;
  }
  const long long start = platform::monotonicMilliseconds();
  int done = 0;
  if (op == "--print") {
    done = print(job);
  } else if (op == "--soft-proof") {
    done = softProof(job, printer) ? 1 : 0;
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
