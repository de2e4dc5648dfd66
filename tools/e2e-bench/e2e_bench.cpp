// From the drop to the last byte: a photographic job made from an image,
// dropped into a hot folder, read as the queue reads it and printed through
// Draw's printing-device layer and the installed plug-in to a file port and
// to a loopback TCP printer (a reader of this program's own), at 720 x 720
// and 1440 x 720 dpi.
//
//   e2e-bench <image> [--width-mm=<n>] [--height-mm=<n>] [--only=<720|1440>]
//             [--port=<file|tcp>]
//
// For each run: the time from the drop to the first byte at the port, the
// job read (the queue's load of the file), the print (render, conversion,
// separation, halftoning, packing and the port, as the layer drives them),
// the time to the last byte, the dots per wall second and the processor
// seconds of the whole process (every thread). The queue's own settle and
// refresh times are not part of it (scan-bench measures those). The printer
// folder, the hot folder and the port's files lie beside the program and
// are removed at the end.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Base.h"
#include "Draw.h"
#include "SPOOL.h"
#include "driver/machines/machine_state.h"
#include "e2e_port_reader.h"
#include "image_job.h"
#include "libs/draw/driver_plugins.h"
#include "libs/draw/setting_block.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"
#include "tools/bench_files.h"

namespace {

using bench::besideProgram;
using bench::copyFile;

constexpr const char* kMachine = "EPSON RX-3";

void emptyFolder(const std::string& folder, bool remove) {
  std::vector<std::string> names, folders;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) {
    (e.isDirectory ? folders : names).push_back(e.name);
    return true;
  });
  for (const std::string& n : names) platform::deleteFile((folder + "/" + n).c_str());
  for (const std::string& f : folders)
    if (f != "." && f != "..") emptyFolder(folder + "/" + f, true);
  if (remove) platform::removeFolder(folder.c_str());
}

// The job with the machine's settings at this horizontal resolution, as
// the settings dialog would store them in it.
bool withResolution(const std::string& printerFolder, int xDpi, jobfile::Job* job) {
  jdraw::DriverPlugin plugin;
  DeviceRecord record{};
  if (!jdraw::loadPluginForMachine(printerFolder.c_str(), kMachine, &plugin, &record)) return false;
  const jdraw::DriverExports& d = plugin.exports();
  if (d.loadMachine(&record) != 1 && d.openMachine(&record) != 1) return false;
  record.state->xResolution = xDpi;
  record.state->yResolution = 720;
  jdraw::SettingBlock block;
  block.hasSettings = true;
  std::memcpy(block.settings, record.state, sizeof block.settings);
  d.closeMachine(&record);
  return jdraw::encodeSettingBlock(block, &job->settings);
}

struct Result {
  bool ok = false;
  double firstByte = 0;  // from the drop
  double jobRead = 0;
  double print = 0;
  double lastByte = 0;  // from the drop
  double cpu = 0;
  long long bytes = 0;
  std::string why;
};

// One job from the drop to the last byte.
Result runOnce(const std::string& printerFolder, const std::string& hotFolder, const jobfile::Job& job,
               e2e::PortReader& port) {
  Result r;
  std::string error;
  port.arm();
  const double cpu0 = platform::processSeconds();
  const std::string path = jobmaker::dropJob(job, hotFolder, "e2e.vjx", &error);
  const double dropped = platform::monotonicSeconds();
  if (path.empty()) {
    r.why = error;
    return r;
  }
  jDrawOpenParams open{1000, {}};
  jDrawDocParams params{nullptr, 0, 100000, 256, 16, 3, 1, 1};
  if (jPdevSetPrinterFolder(printerFolder.c_str()) != 1 || jDrawOpen(nullptr, &open) != 1) {
    r.why = "Draw did not open";
    return r;
  }
  const int32_t document = jDrawGDBOpen(&params);
  jDEVICE device = jFileLoadDRXDevOpen(path.c_str());
  void* setting = jFileLoadDRXDevSetting(path.c_str());
  const bool loaded = document && device && setting && jFileLoad(document, 16, 0, path.c_str()) == 1;
  const double read = platform::monotonicSeconds();
  const int printed = loaded ? jPdevPrint(nullptr, document, device, 0, setting) : 0;
  const double ended = platform::monotonicSeconds();
  char reason[256] = {};
  if (!printed) jPdevGetLastError(reason, sizeof reason);
  if (device) jPdevClose(device);
  if (setting) jMemFree(setting);
  jDrawClose();
  const e2e::PortTimes times = port.wait(30000);
  r.cpu = platform::processSeconds() - cpu0;
  platform::deleteFile(path.c_str());
  r.jobRead = read - dropped;
  r.print = ended - read;
  r.firstByte = times.first > 0 ? times.first - dropped : 0;
  r.lastByte = times.last > 0 ? times.last - dropped : 0;
  r.bytes = times.bytes;
  r.ok = loaded && printed == 1 && times.bytes > 0;
  if (!loaded) r.why = "the job was not read";
  if (loaded && !printed) r.why = std::string("the print failed: ") + reason;
  if (r.ok == false && r.why.empty()) r.why = "nothing arrived at the port";
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  float widthMm = 1100, heightMm = 2000;
  int only = 0;
  std::string image, portOnly;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--width-mm=", 0) == 0)
      widthMm = static_cast<float>(std::atof(a.c_str() + 11));
    else if (a.rfind("--height-mm=", 0) == 0)
      heightMm = static_cast<float>(std::atof(a.c_str() + 12));
    else if (a.rfind("--only=", 0) == 0)
      only = std::atoi(a.c_str() + 7);
    else if (a.rfind("--port=", 0) == 0)
      portOnly = a.substr(7);
    else if (a.rfind("--", 0) == 0 || !image.empty()) {
      std::fprintf(stderr,
                   "usage: e2e-bench <image> [--width-mm=<n>] [--height-mm=<n>] [--only=<720|1440>] "
                   "[--port=<file|tcp>]\n");
      return 2;
    } else {
      image = a;
    }
  }
  if (image.empty() || widthMm <= 0 || heightMm <= 0) {
    std::fprintf(stderr, "e2e-bench: give an image (PNG, JPEG or BMP) and a positive size\n");
    return 2;
  }
  // Two prints of one job compare byte for byte.
  setenv("RX3_NOISE_SEED", "12345", 1);
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
  std::string error;
  jobfile::Job job;
  jobmaker::Options options;
  options.machine = kMachine;
  options.widthMm = widthMm;
  options.heightMm = heightMm;
  options.title = "e2e bench";
  if (!jobmaker::decodeImage(image.c_str(), &width, &height, &pixels, &error) ||
      !jobmaker::makeJob(options, width, height, std::move(pixels), &job, &error)) {
    std::fprintf(stderr, "e2e-bench: %s\n", error.c_str());
    return 1;
  }
  const std::string root = besideProgram("e2e-bench.tmp");
  const std::string printer = root + "/printer", hot = root + "/hot", out = root + "/out";
  for (const std::string& f : {root, printer, hot, out}) platform::createFolder(f.c_str());
  if (!copyFile(besideProgram("RX3.so"), printer + "/RX3.so")) {
    std::fprintf(stderr, "e2e-bench: no plug-in beside the program\n");
    return 1;
  }
  e2e::PortReader tcp;
  e2e::PortReader file(out);
  if (!tcp.listen()) {
    std::fprintf(stderr, "e2e-bench: no loopback printer\n");
    return 1;
  }
  std::printf(
      "e2e-bench: %s, %d x %d pixels, as a job of %.0f x %.0f mm (the machine is shared: other work runs "
      "beside)\n",
      image.c_str(), width, height, widthMm, heightMm);
  std::printf("%-10s %-5s %9s %9s %9s %9s %9s %9s %12s\n", "dpi", "port", "1st byte", "job read", "print", "last byte",
              "Mpx/s", "cpu s", "bytes");
  int status = 0;
  for (int xDpi : {720, 1440}) {
    if (only && only != xDpi) continue;
    for (int p = 0; p < 2; ++p) {
      if (!portOnly.empty() && portOnly != (p == 0 ? "file" : "tcp")) continue;
      e2e::PortReader& port = p == 0 ? file : tcp;
      const std::string portText = p == 0 ? "FILE:" + out : "127.0.0.1:" + std::to_string(tcp.portNumber());
      const std::string registry =
          "DEVICE\tRX-3 e2e\t" + std::string("RX3.so") + "\t" + kMachine + "\t" + portText + "\r\n";
      platform::FileHandle rgs =
          platform::openFile((printer + "/DEVICE.rgs").c_str(), platform::OpenMode::CreateAlways);
      const bool wrote = rgs && platform::writeAll(rgs, registry.data(), registry.size());
      if (rgs) platform::closeFile(rgs);
      jSplSaveDevicePort((printer + "/DEVICE.rgs").c_str());
      jobfile::Job atResolution = job;
      if (!wrote || !withResolution(printer, xDpi, &atResolution)) {
        std::fprintf(stderr, "e2e-bench: the installation could not be set up\n");
        return 1;
      }
      const Result r = runOnce(printer, hot, atResolution, port);
      const double dots = static_cast<double>(widthMm) / 25.4 * xDpi * static_cast<double>(heightMm) / 25.4 * 720;
      char dpi[16];
      std::snprintf(dpi, sizeof dpi, "%dx720", xDpi);
      if (!r.ok) {
        std::printf("%-10s %-5s failed: %s\n", dpi, p == 0 ? "file" : "tcp", r.why.c_str());
        status = 1;
      } else {
        std::printf("%-10s %-5s %9.3f %9.3f %9.3f %9.3f %9.2f %9.3f %12lld\n", dpi, p == 0 ? "file" : "tcp",
                    r.firstByte, r.jobRead, r.print, r.lastByte, dots / 1e6 / r.lastByte, r.cpu, r.bytes);
      }
      std::fflush(stdout);
      emptyFolder(out, false);
    }
  }
  emptyFolder(out, true);
  emptyFolder(hot, true);
  emptyFolder(printer, true);
  emptyFolder(root, true);
  return status;
}
