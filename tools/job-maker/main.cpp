// job-maker: an image (PNG, JPEG, BMP) -> a job file dropped into a hot folder.
//   job-maker --machine <name> --width <mm> [--height <mm>] [--title <text>]
//             [--tile <columns>x<rows>[+<overlap mm>]] [--device <name>]
//             [--name <file name>] <image> <hot folder>
//   job-maker --help
// Exit code 0 with the job's path on standard output (or the usage, asked
// for); 2 for bad arguments, 1 when the image or the folder cannot be used.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "image_job.h"
#include "installation_check.h"
#include "platform/path.h"

namespace {

void printUsage(std::FILE* to) {
  std::fprintf(to,
               "usage: job-maker --machine <name> --width <mm> [--height <mm>] [--title <text>]\n"
               "                 [--tile <columns>x<rows>[+<overlap mm>]] [--device <name>] [--name <file>]\n"
               "                 <image> <hot folder>\n");
}

int usage(const char* message) {
  std::fprintf(stderr, "job-maker: %s\n", message);
  printUsage(stderr);
  return 2;
}

bool number(const char* text, float* out) {
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (!end || *end || end == text) return false;
  *out = static_cast<float>(v);
  return true;
}

bool tiling(const char* text, jobmaker::Options* o) {
  float overlap = 0;
  char plus = 0;
  int used = 0;
  if (std::sscanf(text, "%dx%d%n", &o->tileColumns, &o->tileRows, &used) != 2) return false;
  if (text[used] == '\0') return o->tileColumns > 0 && o->tileRows > 0;
  if (std::sscanf(text + used, "%c%f", &plus, &overlap) != 2 || plus != '+') return false;
  o->tileOverlapMm = overlap;
  return o->tileColumns > 0 && o->tileRows > 0;
}

}  // namespace

int main(int argc, char** argv) {
  jobmaker::Options options;
  std::string name;
  const char* positional[2] = {};
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      printUsage(stdout);
      return 0;
    }
    const bool hasValue = i + 1 < argc;
    if (arg.rfind("--", 0) == 0 && !hasValue) return usage(("missing value for " + arg).c_str());
    if (arg == "--machine") {
      options.machine = argv[++i];
    } else if (arg == "--width") {
      if (!number(argv[++i], &options.widthMm) || options.widthMm <= 0)
        return usage(("--width takes a page width in millimetres above 0, not " + std::string(argv[i])).c_str());
    } else if (arg == "--height") {
      if (!number(argv[++i], &options.heightMm) || options.heightMm <= 0)
        return usage(("--height takes a page height in millimetres above 0, not " + std::string(argv[i])).c_str());
    } else if (arg == "--title") {
      options.title = argv[++i];
    } else if (arg == "--tile") {
      if (!tiling(argv[++i], &options)) return usage("--tile takes <columns>x<rows>[+<overlap mm>]");
    } else if (arg == "--device") {
      options.device = argv[++i];
    } else if (arg == "--name") {
      name = argv[++i];
    } else if (arg.rfind("--", 0) == 0) {
      return usage(("unknown option " + arg).c_str());
    } else if (count < 2) {
      positional[count++] = argv[i];
    } else {
      return usage("too many arguments");
    }
  }
  if (count != 2) return usage("an image and a hot folder are needed");
  if (options.machine.empty()) return usage("--machine is needed");
  if (options.widthMm <= 0) return usage("--width is needed");
  char base[platform::kMaxPath];
  if (!platform::copyString(base, sizeof base, platform::fileNamePart(positional[0]))) return usage("path too long");
  platform::cutExtension(base);
  if (options.title.empty()) options.title = base;
  if (name.empty()) name = std::string(base) + ".vjx";
  if (!jobmaker::isFileName(name)) return usage("--name takes a file name, not a path");

  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
  std::string error;
  jobfile::Job job;
  if (!jobmaker::decodeImage(positional[0], &width, &height, &pixels, &error) ||
      !jobmaker::makeJob(options, width, height, std::move(pixels), &job, &error)) {
    std::fprintf(stderr, "job-maker: %s: %s\n", positional[0], error.c_str());
    return 1;
  }
  const float heightMm = options.heightMm > 0 ? options.heightMm : options.widthMm * height / width;
  if (!jobmaker::checkAgainstInstallation(positional[1], options.machine, options.widthMm, heightMm, &error)) {
    std::fprintf(stderr, "job-maker: %s\n", error.c_str());
    return 1;
  }
  const std::string path = jobmaker::dropJob(job, positional[1], name, &error);
  if (path.empty()) {
    std::fprintf(stderr, "job-maker: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", path.c_str());
  return 0;
}
