// Enumeration, open and close of machines and the exports that read or set
// an open machine's names and paper profile, plus the job set-up and the
// colour-management set-up.
#include <cstring>

#include "Base.h"
#include "SPOOL.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "driver/machines/machine_records.h"
#include "driver/machines/machine_state.h"
#include "driver/raster/page_steps.h"
#include "platform/path.h"

namespace rx3 {
namespace {

// Host products that ship the Lumora line.
constexpr const char* kLumoraHosts[] = {"Bannerforge", "Tagwright"};

constexpr const char* kDefaultConversion = "RgbToCmykFunc16";

// The plug-in's own exports that convert colours, by their exported names.
// A profile's name is looked up here and nowhere else: a lookup through the
// loader would also find the jPrint exports (called with the wrong arguments)
// and, on some targets, any function of a library the plug-in depends on.
struct ConversionExport {
  const char* name;
  jColorConvertFunc function;
};
constexpr ConversionExport kConversionExports[] = {{"RgbToCmykFunc16", &RgbToCmykFunc16}};

jColorConvertFunc findConversion(const char* name) {
  for (const ConversionExport& e : kConversionExports)
    if (std::strcmp(name, e.name) == 0) return e.function;
  return nullptr;
}

constexpr double kMillimetresPerInchInverse = 0.03937007874015748;

bool hostWantsLumora() {
  const char* keyword = jOemText(0);
  if (!keyword) return false;
  for (const char* host : kLumoraHosts)
    if (std::strcmp(keyword, host) == 0) return true;
  return false;
}

}  // namespace

bool rebaseColorFile(char* field, const char* folder) {
  char name[platform::kMaxPath];
  if (!platform::copyString(name, sizeof name, platform::fileNamePart(field)) || !name[0]) {
    field[0] = '\0';
    return name[0] == '\0';
  }
  // A path that does not fit is refused, never cut: the field is emptied.
  return platform::joinPath(field, platform::kMaxPath, folder, name);
}

}  // namespace rx3

using rx3::driverModule;
using rx3::machineRow;

extern "C" {

int jPrintEnumMachine(jPrintEnumCallback callback) {
  const rx3::DriverModule& module = driverModule();
  bool lumora = rx3::hostWantsLumora();
  for (int i = 0; i < module.table.count; ++i) {
    const rx3::MachineInfo& row = module.table.rows[i];
    if (rx3::isLumoraRow(row) != lumora || !callback) continue;
    DeviceRecord record;
    std::memset(&record, 0, sizeof record);
    record.machineIndex = row.index;
    platform::copyTruncated(record.displayName, sizeof record.displayName, row.displayName);
    platform::copyString(record.driverPath, sizeof record.driverPath, module.path);
    record.recordFlag = 1;
    const rx3::Resolution& resolution = row.resolutions[row.defaultResolution];
    record.xResolution = resolution.x;
    record.yResolution = resolution.y;
    callback(&record);
  }
  return module.table.count;
}

int jPrintOpenMachine(DeviceRecord* record) {
  if (!record) return 0;
  const rx3::MachineInfo* row = machineRow(record->machineIndex);
  if (!row) return 0;
  auto* state = static_cast<MachineState*>(jMemAlloc(sizeof(MachineState)));
  if (!state) return 0;
  // A job still running on the old state is ended, not leaked.
  rx3::abandonJob(record);
  if (record->state) jMemFree(record->state);
  record->state = state;

  const char* folder = driverModule().folder;
  std::memset(state, 0, sizeof *state);
  state->xResolution = record->xResolution;
  state->yResolution = record->yResolution;
  state->bidirectional = 1;
  state->paperCut = 1;
  state->marginMode = 0;
  state->inkSet = 0;
  state->profileIndex = 0;
  state->profile = row->profiles[0];
  rx3::rebaseColorFile(state->profile.colorFile1, folder);
  rx3::rebaseColorFile(state->profile.colorFile2, folder);
  state->spoolMode = record->spoolMode;
  state->spoolLimitMB = 0;
  state->engine.spoolHandle = nullptr;
  platform::copyString(state->driverDirectory, sizeof state->driverDirectory, folder);
  jSplGetPort(state->deviceName, state->portName);
  return 1;
}

int jPrintCloseMachine(DeviceRecord* record) {
  if (!record) return 1;
  rx3::abandonJob(record);
  if (record->state) jMemFree(record->state);
  record->state = nullptr;
  return 1;
}

int jPrintGetDeviceName(DeviceRecord* record, char* device260, char* port260) {
  if (device260) device260[0] = '\0';
  if (port260) port260[0] = '\0';
  if (!record || !record->state) return 0;
  if (device260) platform::copyTruncated(device260, 260, record->state->deviceName);
  if (port260) platform::copyTruncated(port260, 260, record->state->portName);
  return 1;
}

int jPrintSetDeviceName(DeviceRecord* record, const char* device, const char* port) {
  if (!record || !record->state) return 0;
  MachineState* state = record->state;
  // A port can be a file path: one that does not fit is refused, never cut,
  // and the stored pair stays as it was.
  // Cleared: the whole fields are stored, and the settings file carries them
  // byte for byte.
  char newDevice[sizeof state->deviceName] = {};
  char newPort[sizeof state->portName] = {};
  if (!platform::copyString(newDevice, sizeof newDevice, device ? device : "") ||
      !platform::copyString(newPort, sizeof newPort, port ? port : ""))
    return 0;
  std::memcpy(state->deviceName, newDevice, sizeof newDevice);
  std::memcpy(state->portName, newPort, sizeof newPort);
  return 1;
}

ColorProfile jPrintGetCpf(DeviceRecord* record) {
  ColorProfile profile;
  jColorProfileInit(&profile);
  if (record && record->state) profile = record->state->profile;
  return profile;
}

int jPrintSetCpf(DeviceRecord* record, ColorProfile profile) {
  if (!record || !record->state) return 0;
  record->state->profile = profile;
  return 1;
}

int jPrintSetupMachine(DeviceRecord* record, jHWND parent) {
  if (!record || !record->state) return 0;
  DeviceRecord copy = *record;
  copy.state = nullptr;
  if (!jPrintOpenMachine(&copy)) return 0;
  std::memcpy(copy.state, record->state, sizeof(MachineState));
  // The dialog edits settings only: a job that runs belongs to the caller's
  // state alone, and moves over with it on OK.
  std::memset(&copy.state->engine, 0, sizeof copy.state->engine);
  int result = rx3::runPrinterSetupDialog(&copy, parent);
  if (result == 1) {
    copy.state->engine = record->state->engine;
    std::memset(&record->state->engine, 0, sizeof record->state->engine);
    jPrintCloseMachine(record);
    *record = copy;
    return 1;
  }
  jPrintCloseMachine(&copy);
  return result;
}

int jPrintSetup(jHostJobContext* context) {
  if (!context || !context->device) return 0;
  const DeviceRecord* record = context->device;
  float x = static_cast<float>(record->xResolution);
  float y = static_cast<float>(record->yResolution);
  if (record->inchUnits == 0) {
    x = static_cast<float>(record->xResolution * rx3::kMillimetresPerInchInverse);
    y = static_cast<float>(record->yResolution * rx3::kMillimetresPerInchInverse);
  }
  jGdcSetup(context->drawContext, x, y);
  return 1;
}

jCMS jPrintCmsSetup(const ColorProfile* profile) {
  if (!profile) return nullptr;
  char name[64];
  platform::copyTruncated(name, sizeof name, profile->conversionFunction);
  if (!name[0]) platform::copyString(name, sizeof name, rx3::kDefaultConversion);
  return jColorCmsSetupEx(profile, rx3::findConversion(name));
}

}  // extern "C"
