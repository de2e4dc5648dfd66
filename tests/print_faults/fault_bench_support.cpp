#include "fault_bench.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "Base.h"
#include "SPOOL.h"
#include "app/shell/progress_hooks.h"
#include "driver/machines/machine_state.h"
#include "job_maker.h"
#include "libs/draw/driver_plugins.h"
#include "platform/clock.h"
#include "platform/folders.h"

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#endif

namespace fault_bench {
namespace {

constexpr const char* kMachine = "EPSON RX-3";
// A page of about 1.5 MB: several times what the connection's buffers hold,
// so that a cancel has something left to cut.
constexpr float kJobWidthMm = 32, kJobHeightMm = 24;

// vellox's status bar as the hooks drive it: only when the page's progress
// ended matters here.
class EndWatch : public vlx::ProgressDisplay {
 public:
  void setProgress(int) override {}
  void setActivityText(const char* text) override {
    if (!text) endedAt = platform::monotonicMilliseconds();
  }
  void pumpOwnQueue() override {}
  std::atomic<long long> endedAt{0};
};

// Opens the machine of the installation, lets change run on its record and
// closes it again; false when the plug-in does not open it.
bool withMachine(const std::string& folder,
                 const std::function<void(const jdraw::DriverExports&, DeviceRecord*)>& change) {
  jdraw::DriverPlugin plugin;
  DeviceRecord record{};
  if (!jdraw::loadPluginForMachine(folder.c_str(), kMachine, &plugin, &record)) return false;
  const jdraw::DriverExports& d = plugin.exports();
  if (d.loadMachine(&record) != 1 && d.openMachine(&record) != 1) return false;
  change(d, &record);
  d.closeMachine(&record);
  return true;
}

}  // namespace

Bench::Bench() {
#if defined(_WIN32)
  _putenv_s("RX3_NOISE_SEED", "12345");
#else
  setenv("RX3_NOISE_SEED", "12345", 1);
#endif
  if (!printer_.ready()) return;
  jOemSetText("");
  usePort("FILE:" + out_.path(), 0);
  if (jPdevSetPrinterFolder(printer_.path().c_str()) != 1) return;
  jDrawOpenParams open{1000, {}};
  if (jDrawOpen(nullptr, &open) != 1) return;
  jDrawDocParams params{nullptr, 0, 100000, 256, 16, 3, 1, 1};
  document_ = jDrawGDBOpen(&params);
  jPdevSetPgsHook(vlx::progressHooks());
  const std::string job = jobs_.join("job.vjx");
  if (!document_ || !jobfile::writeJobFile(job.c_str(), draw_test::sampleJob(kMachine, kJobWidthMm, kJobHeightMm)))
    return;
  device_ = jFileLoadDRXDevOpen(job.c_str());
  setting_ = jFileLoadDRXDevSetting(job.c_str());
  ready_ = device_ && setting_ && jFileLoad(document_, 16, 0, job.c_str()) == 1;
}

Bench::~Bench() {
  if (device_) jPdevClose(device_);
  if (setting_) jMemFree(setting_);
  jPdevSetPgsHook(nullptr);
  jDrawClose();
  jPdevSetPrinterFolder(nullptr);
  jOemSetText(nullptr);
}

void Bench::usePort(const std::string& portText, int timeoutSeconds) {
  std::string registry =
      "DEVICE\tRX-3 bench\t" + std::string(draw_test::pluginFileName()) + "\t" + kMachine + "\t" + portText + "\r\n";
  if (timeoutSeconds) registry += "TIMEOUT\t" + portText + "\t" + std::to_string(timeoutSeconds) + "\r\n";
  const std::string path = printer_.join("DEVICE.rgs");
  testing_support::writeBytes(path, registry);
  jSplSaveDevicePort(path.c_str());
}

bool Bench::setSpoolMode(int mode) {
  return withMachine(printer_.path(), [mode](const jdraw::DriverExports& d, DeviceRecord* record) {
    record->state->spoolMode = mode;
    d.saveMachine(record);
  });
}

int64_t Bench::inkUsed() {
  int64_t used = 0;
  withMachine(printer_.path(), [&](const jdraw::DriverExports& d, DeviceRecord* record) {
    InkEntry inks[8];
    if (d.loadInk(record, inks) <= 0) return;  // the count of inks read
    for (const InkEntry& ink : inks) used += ink.totalUsed;
  });
  return used;
}

Outcome Bench::print(const std::function<bool()>& cancelWhen) {
  EndWatch watch;
  vlx::useProgressDisplay(&watch);
  vlx::armProgress();
  Outcome outcome;
  std::atomic<bool> done{false};
  std::thread canceller;
  if (cancelWhen) {
    canceller = std::thread([&] {
      while (!done && !cancelWhen()) platform::sleepMilliseconds(2);
      if (done) return;
      outcome.cancelledAt = platform::monotonicMilliseconds();
      vlx::stopProgress();
    });
  }
  const long long start = platform::monotonicMilliseconds();
  outcome.result = jPdevPrint(nullptr, document_, device_, 0, setting_);
  outcome.endedAt = platform::monotonicMilliseconds();
  outcome.ms = outcome.endedAt - start;
  done = true;
  if (canceller.joinable()) canceller.join();
  char reason[256] = {};
  jPdevGetLastError(reason, sizeof reason);
  outcome.reason = reason;
  outcome.pageEndedAt = watch.endedAt;
  vlx::useProgressDisplay(nullptr);
  vlx::armProgress();
  return outcome;
}

std::vector<std::string> Bench::outputFiles() const {
  std::vector<std::string> files;
  platform::listFolder(out_.path().c_str(), [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) files.push_back(testing_support::readBytes(out_.join(e.name)));
    return true;
  });
  return files;
}

std::vector<std::string> Bench::strayFiles() const {
  std::vector<std::string> stray;
  platform::listFolder(printer_.path().c_str(), [&](const platform::FolderEntry& e) {
    const std::string name = e.name;
    const std::string ext = name.size() > 4 ? name.substr(name.size() - 4) : "";
    if (!e.isDirectory && name != draw_test::pluginFileName() && name != "DEVICE.rgs" && ext != ".dev" &&
        ext != ".ink" && ext != "cpf0" && ext != "cpf1")
      stray.push_back(name);
    return true;
  });
  return stray;
}

const std::vector<uint8_t>& abortTrailer() {
  // ESC @, then remote mode with AC 41 (abort), form feed, and the job end:
  // remote mode with IR 02, JE and LD.
  static const std::vector<uint8_t> bytes{0x1B, '@',  0x1B, '(', 'R',  0x08, 0x00, 0x00, 'R',  'E',  'M',  'O',
                                          'T',  'E',  '1',  'A', 'C',  0x02, 0x00, 0x00, 0x41, 0x1B, 0x00, 0x00,
                                          0x00, 0x0C, 0x1B, '(', 'R',  0x08, 0x00, 0x00, 'R',  'E',  'M',  'O',
                                          'T',  'E',  '1',  'I', 'R',  0x02, 0x00, 0x00, 0x02, 'J',  'E',  0x01,
                                          0x00, 0x00, 'L',  'D', 0x00, 0x00, 0x1B, 0x00, 0x00, 0x00};
  return bytes;
}

}  // namespace fault_bench
