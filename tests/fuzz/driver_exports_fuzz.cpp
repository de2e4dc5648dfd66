// The plug-in's exports in any order, fed hostile rectangles, units,
// resolutions, margin modes and drawings: every call returns, nothing
// leaks, nothing is read or written out of bounds.
#include <cmath>
#include <cstring>
#include <string>

#include "Base.h"
#include "SPOOL.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "driver/machines/machine_state.h"
#include "fuzz_support.h"
#include "platform/folders.h"

namespace {

class Script {
 public:
  Script(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool more() const { return at_ < size_; }
  uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  int32_t int32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(byte()) << (8 * i);
    return static_cast<int32_t>(v);
  }
  // Mostly small coordinates; one time in eight any float at all (NaN,
  // infinities, huge values), where middling sizes are folded back so that
  // a run stays quick.
  float coordinate() {
    const uint8_t b = byte();
    if (b < 224) return (static_cast<int>(b) - 112) / 8.0f;
    const int32_t bits = int32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    if (std::isfinite(f) && std::fabs(f) > 100.0f && std::fabs(f) < 1e5f) f = std::fmod(f, 100.0f);
    return f;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

constexpr int32_t kResolutions[] = {720, 1440, 360, 2880, 0, -720, 1, 100000};

void removeJobs(const std::string& folder) {
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) platform::deleteFile((folder + "/" + e.name).c_str());
    return true;
  });
}

int answer(void* owner) {
  return *static_cast<int*>(owner);
}
void* begin(void* owner) {
  return owner;
}
void end(void*) {}
int step(void*, int, const char*) {
  return 1;
}
const jProgressHooks kHooks{begin, end, answer, step, answer};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string out = fuzz::scratchFile("out");
  static const bool ready = [] {
    platform::createFolder(out.c_str());
    const std::string registry = "DEVICE\tfuzz\tRX3.dll\tEPSON RX-3\tFILE:" + out + "\r\n";
    fuzz::writeFile(fuzz::scratchFile("DEVICE.rgs"), reinterpret_cast<const uint8_t*>(registry.data()),
                    registry.size());
    jSplSaveDevicePort(fuzz::scratchFile("DEVICE.rgs").c_str());
    return rx3::attachDriver(fuzz::scratchFile("RX3.dll").c_str());
  }();
  if (!ready) return 0;
  Script s(data, size);
  DeviceRecord record{};
  record.machineIndex = s.byte() % 7;
  std::strcpy(record.displayName, "EPSON RX-3");
  record.xResolution = kResolutions[s.byte() % 8];
  record.yResolution = kResolutions[s.byte() % 8];
  record.inchUnits = s.byte() % 2;
  record.spoolMode = s.byte() % 3;
  if (record.spoolMode)
    std::snprintf(record.outputFile, sizeof record.outputFile, "%s", fuzz::scratchFile("SPL").c_str());

  jGdcItem items[4]{};
  for (jGdcItem& item : items) {
    item.kind = s.byte() % 5;
    item.x0 = s.byte() - 128;
    item.y0 = s.byte() - 128;
    item.x1 = item.x0 + s.byte();
    item.y1 = item.y0 + s.byte();
    std::memset(item.color, s.byte(), sizeof item.color);
  }
  jGdcScene scene{4, items};
  jGdc drawing{};
  drawing.hasContent = s.byte() % 2;
  drawing.x0 = s.byte() - 300;
  drawing.y0 = s.byte() - 300;
  drawing.x1 = drawing.x0 + s.byte() * 2;
  drawing.y1 = drawing.y0 + s.byte() * 2;
  drawing.scene = &scene;
  int hostAnswer = 1;
  jHostJobContext context{};
  context.owner = &hostAnswer;
  context.drawContext = &drawing;
  context.device = &record;
  context.hooks = &kHooks;
  std::snprintf(context.documentName, sizeof context.documentName, "fuzz");

  for (int op = 0; op < 48 && s.more(); ++op) {
    switch (s.byte() % 14) {
      case 0:
        jPrintOpenMachine(&record);
        break;
      case 1:
        jPrintCloseMachine(&record);
        break;
      case 2:
        jPrintStartDoc(&context);
        break;
      case 3:
        jPrintEndDoc(&context);
        break;
      case 4: {
        const float x0 = s.coordinate(), y0 = s.coordinate(), x1 = s.coordinate(), y1 = s.coordinate();
        jPrintStartPage(&context, x0, y0, x1, y1);
        break;
      }
      case 5: {
        const float x0 = s.coordinate(), y0 = s.coordinate(), x1 = s.coordinate(), y1 = s.coordinate();
        jPrintDrawPage(&context, x0, y0, x1, y1);
        break;
      }
      case 6:
        jPrintEndPage(&context, s.byte() % 3);
        break;
      case 7:
        if (record.state) {
          record.state->marginMode = s.byte() % 5;
          record.state->inkSet = s.byte() % 4;
          record.state->spoolLimitMB = s.byte() % 3;
          record.state->profile.inkLimit = s.int32();
          record.state->profile.colorMode = s.byte() == 254 ? 254 : 0;
        }
        break;
      case 8:
        hostAnswer = static_cast<int8_t>(s.byte()) % 3;
        break;
      case 9:
        jPrintSaveMachine(&record);
        break;
      case 10:
        jPrintLoadMachine(&record);
        break;
      case 11:
        jPrintSetup(&context);
        break;
      case 12: {
        ColorProfile profile = jPrintGetCpf(&record);
        const char* names[] = {"", "RgbToCmykFunc16", "abort", "free", "jPrintCloseMachine"};
        std::snprintf(profile.conversionFunction, sizeof profile.conversionFunction, "%s", names[s.byte() % 5]);
        jPrintSetCpf(&record, profile);
        break;
      }
      case 13: {
        InkEntry inks[8];
        jPrintLoadInk(&record, inks);
        break;
      }
    }
  }
  jPrintEndPage(&context, 1);
  jPrintEndDoc(&context);
  jPrintCloseMachine(&record);
  removeJobs(out);
  return 0;
}
