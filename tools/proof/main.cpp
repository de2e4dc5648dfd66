// proof: a job file's dry run through the installed driver, without a drop
// of ink and without touching the ink account or the job: the ink it takes
// per ink (picolitres, millilitres, share of what remains) and a composite
// PNG of the dots it would print, in the colour they print. The colour
// profiles and intent are those vellox prints with. The stream waits in a
// temporary file; a picture is made only when asked for, each page's PNG
// written a row of cells at a time as the stream is read: a job of any size
// takes about a band of memory.
//
//   proof [--printer <folder>] [--scratch <folder>] [--png out.png] [--scale N] job.vjx
//
// --printer  the printer folder (default: "printer" beside this program or its folder)
// --scratch  where the stream's temporary file goes (default: TEMP, TMP or
//            TMPDIR, else the job's folder)
// --png      composite picture; pages after the first get -2, -3 ...
// --scale    cells of N x N dots for the picture (default 1); where the dots
//            are not square, N along the coarser axis and as many along the
//            finer one as cover the same length (1440 x 720 dpi: 2N x N).
//            The picture is the page the driver opens; one of more than
//            2^28 cells is refused before the dry run
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"

#include "Draw.h"
#include "EscDecode.h"
#include "app/shell/app_defaults.h"
#include "app/shell/environment_file.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"
#include "proof_job.h"

namespace {

struct Options {
  std::string printer;
  std::string scratch;
  std::string png;
  int scale = 1;
  std::string input;
};

bool parse(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--printer" && hasValue) {
      o->printer = argv[++i];
    } else if (a == "--scratch" && hasValue) {
      o->scratch = argv[++i];
    } else if (a == "--png" && hasValue) {
      o->png = argv[++i];
    } else if (a == "--scale" && hasValue) {
      o->scale = std::atoi(argv[++i]);
      if (o->scale < 1 || o->scale > 4096) return false;
    } else if (a.empty() || a[0] == '-' || !o->input.empty()) {
      return false;
    } else {
      o->input = a;
    }
  }
  return !o->input.empty();
}

// The installation's printer folder: beside this program (its place beside
// the drawing library's DLLs), or beside the folder it lies in.
std::string defaultPrinterFolder() {
  char self[platform::kMaxPath], home[platform::kMaxPath], up[platform::kMaxPath], printer[platform::kMaxPath];
  if (!platform::moduleFileName(nullptr, self, sizeof self) || !platform::folderPart(self, home, sizeof home))
    return std::string();
  if (platform::joinPath(printer, sizeof printer, home, "printer") && platform::isFolder(printer)) return printer;
  if (platform::folderPart(home, up, sizeof up) && platform::joinPath(printer, sizeof printer, up, "printer"))
    return printer;
  return std::string();
}

// The colour profiles and intent vellox prints with: those of its
// environment file in the installation (the printer folder's parent), or
// the installation's default pair where none was ever chosen.
void useThePrintsProfiles(const std::string& printer) {
  char own[platform::kMaxPath], folder[platform::kMaxPath], environment[platform::kMaxPath];
  vlx::AppState state;
  std::memset(&state, 0, sizeof state);
  state.intent = vlx::kIntentNeverConfigured;
  if (!platform::copyString(own, sizeof own, printer.c_str())) return;
  platform::removeTrailingSeparators(own);
  if (!platform::folderPart(own, folder, sizeof folder)) return;
  if (platform::joinPath(environment, sizeof environment, folder, "vellox.ENV"))
    vlx::readEnvironment(environment, &state);
  vlx::applyEnvironment(&state, folder, jCol2SetupProfile);
}

std::string defaultScratchFolder(const std::string& job) {
  for (const char* name : {"TEMP", "TMP", "TMPDIR"}) {
    const char* value = std::getenv(name);
    if (value && *value && platform::isFolder(value)) return value;
  }
  char folder[platform::kMaxPath];
  return platform::folderPart(job.c_str(), folder, sizeof folder) && folder[0] ? folder : ".";
}

std::string pagePath(const std::string& base, size_t page) {
  if (page == 0) return base;
  const size_t dot = base.rfind('.');
  const std::string suffix = "-" + std::to_string(page + 1);
  return dot == std::string::npos ? base + suffix : base.substr(0, dot) + suffix + base.substr(dot);
}

// Each page's composite PNG, written a row of cells at a time as the rows
// are made: a page of any size takes the memory of a row.
class PagePictures {
 public:
  explicit PagePictures(std::string base) : base_(std::move(base)) {}
  bool begin(size_t index, const escp::DotPage& shape) {
    shape_ = shape;
    path_ = pagePath(base_, index);
    rgb_.assign(static_cast<size_t>(std::max(shape.width, 0)) * 3, 0);
    if (shape.width <= 0 || shape.height <= 0 || png_.begin(path_, shape.width, shape.height)) return true;
    return cannotWrite();
  }
  bool row(const uint32_t* const ink[escp::kPlanes]) {
    if (shape_.width <= 0 || shape_.height <= 0) return true;
    escp::inkColours(ink, shape_.width, shape_.across() * shape_.scale, shape_.shift, -1, rgb_.data());
    return png_.row(rgb_.data()) || cannotWrite();
  }
  bool end() { return shape_.width <= 0 || shape_.height <= 0 || png_.finish() || cannotWrite(); }

 private:
  bool cannotWrite() const {
    std::fprintf(stderr, "proof: cannot write %s\n", path_.c_str());
    return false;
  }
  std::string base_;
  std::string path_;
  escp::DotPage shape_;
  std::vector<uint8_t> rgb_;
  escp::PngRowWriter png_;
};

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, &o)) {
    std::fprintf(stderr, "usage: proof [--printer folder] [--scratch folder] [--png out.png] [--scale N] job.vjx\n");
    return 2;
  }
  if (o.printer.empty()) o.printer = defaultPrinterFolder();
  if (o.scratch.empty()) o.scratch = defaultScratchFolder(o.input);
  jDrawOpenParams open{1000, {}};
  if (jDrawOpen(nullptr, &open) != 1 || jPdevSetPrinterFolder(o.printer.c_str()) != 1) {
    std::fprintf(stderr, "proof: no printer folder %s\n", o.printer.c_str());
    return 1;
  }
  useThePrintsProfiles(o.printer);
  const long long start = platform::monotonicMilliseconds();
  PagePictures pictures(o.png);
  const escp::PageRowTaker writePage{
      [&](size_t index, const escp::DotPage& shape) { return pictures.begin(index, shape); },
      [&](const uint32_t* const ink[escp::kPlanes]) { return pictures.row(ink); },
      [&](size_t) { return pictures.end(); }};
  proof::ProofResult result;
  std::string error;
  const bool made = proof::proofJob(o.input.c_str(), o.scratch.c_str(), o.scale, o.png.empty() ? nullptr : &writePage,
                                    &result, &error);
  jDrawClose();
  if (!made) {
    std::fprintf(stderr, "proof: %s: %s\n", o.input.c_str(), error.c_str());
    return 1;
  }
  std::printf("ink  picolitres           ml  of what remains\n");
  for (int i = 0; i < vlx::kEstimateInks; ++i) {
    const InkEntry& account = result.ink.account[i];
    const vlx::InkOutlook outlook = vlx::inkOutlook(account, result.ink.picolitres[i]);
    const char* level = outlook.level == vlx::InkLevel::kPastRemaining  ? "  past what remains"
                        : outlook.level == vlx::InkLevel::kBelowWarning ? "  below the warning"
                                                                        : "";
    std::printf("%-3.31s  %14llu  %9.3f  %6.1f %%%s\n", account.name,
                static_cast<unsigned long long>(result.ink.picolitres[i]), outlook.jobMl, outlook.sharePercent, level);
  }
  std::printf("%llu bytes of printer stream, %zu page(s), %.1f s\n",
              static_cast<unsigned long long>(result.streamBytes), result.pages.size(),
              (platform::monotonicMilliseconds() - start) / 1000.0);
  for (size_t i = 0; i < result.pages.size(); ++i)
    std::printf("page %zu: %d x %d dots\n", i + 1, result.pages[i].dotWidth, result.pages[i].dotHeight);
  return 0;
}
