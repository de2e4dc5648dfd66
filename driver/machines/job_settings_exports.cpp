// A job's settings image put over an open record. The image is the settings
// part of an open record's state as a host kept it (in a job's setting
// block); what belongs to the installation printing it now stays as this
// record opened with it.
#include <cstring>

#include "driver/machines/exports.h"
#include "driver/machines/machine_records.h"
#include "driver/machines/machine_state.h"
#include "driver/machines/printer_setup_dialog_rules.h"
#include "platform/path.h"

extern "C" int jPrintSetSettings(DeviceRecord* record, const void* image, int size) {
  if (!record || !record->state || !image || size != static_cast<int>(kMachineSettingsBytes)) return 0;
  MachineState* state = record->state;
  MachineState job;
  std::memcpy(&job, image, kMachineSettingsBytes);
  if (job.xResolution <= 0 || job.yResolution <= 0) return 0;  // not a settings image of ours
  std::memcpy(job.driverDirectory, state->driverDirectory, sizeof job.driverDirectory);
  job.spoolMode = state->spoolMode;
  job.spoolLimitMB = state->spoolLimitMB;
  std::memcpy(job.deviceName, state->deviceName, sizeof job.deviceName);
  std::memcpy(job.portName, state->portName, sizeof job.portName);
  // The colour files of another installation's folder, by their names here.
  rx3::rebaseColorFile(job.profile.colorFile1, state->driverDirectory);
  rx3::rebaseColorFile(job.profile.colorFile2, state->driverDirectory);
  std::memcpy(state, &job, kMachineSettingsBytes);
  record->xResolution = job.xResolution;
  record->yResolution = job.yResolution;
  return 1;
}

// The ink set in the words of the printer settings dialog; a third set that
// only a settings file can choose has its own name.
extern "C" int jPrintGetInkSetName(DeviceRecord* record, char* text, int size) {
  if (!text || size <= 0) return 0;
  text[0] = '\0';
  if (!record || !record->state) return 0;
  const int inkSet = record->state->inkSet;
  const char* name = inkSet >= 0 && inkSet < rx3::kInkSetChoices ? rx3::kInkSetTexts[inkSet]
                     : inkSet == rx3::kInkSetChoices             ? "4色"
                                                                 : nullptr;
  if (!name) return 0;
  platform::copyTruncated(text, static_cast<std::size_t>(size), name);
  return 1;
}
