// A job's settings image put over an open record. The image is the settings
// part of an open record's state as a host kept it (in a job's setting
// block); what belongs to the installation printing it now stays as this
// record opened with it.
#include <cstring>

#include "driver/machines/exports.h"
#include "driver/machines/machine_records.h"
#include "driver/machines/machine_state.h"

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
