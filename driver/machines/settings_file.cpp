// The machine settings file beside the plug-in ("<plug-in name>.dev"): the
// record of the machine saved last and, when it was open, its state.
#include <cstring>

#include "Base.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "driver/machines/machine_records.h"
#include "driver/machines/machine_state.h"
#include "driver/machines/record_codec.h"
#include "platform/atomic_file.h"
#include "platform/file.h"
#include "platform/named_mutex.h"
#include "platform/path.h"

namespace rx3 {
namespace {

// The plug-in's file name with its extension replaced. Only the file-name
// part's extension is cut, so a dot in a folder name never shortens the path.
bool settingsFilePath(char* out) {
  return platform::copyString(out, platform::kMaxPath, driverModule().path) &&
         platform::replaceExtension(out, platform::kMaxPath, ".dev");
}

// Reads exactly size bytes; false on a short file or an error.
bool readExactly(platform::FileHandle file, uint8_t* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    std::int64_t got = platform::readFile(file, buffer + done, size - done);
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

int saveLocked(const DeviceRecord& record, const char* path) {
  uint8_t bytes[kRecordBytes + kStateBytes];
  encodeRecord(record, bytes);
  std::size_t size = kRecordBytes;
  if (record.state) {
    encodeState(*record.state, bytes + kRecordBytes);
    size += kStateBytes;
  }
  // Written beside the file and put in its place in one step: a crash or a
  // full disk leaves the settings saved before, never an empty or cut file.
  return platform::saveFileAtomically(path, bytes, size) ? 1 : 0;
}

int loadLocked(DeviceRecord* record, platform::FileHandle file) {
  uint8_t bytes[kRecordBytes];
  if (!readExactly(file, bytes, kRecordBytes)) return 0;
  DeviceRecord scratch;
  bool stateFollows = false;
  // The stored state reference is only a presence flag: it is never kept,
  // freed or followed.
  decodeRecord(bytes, &scratch, &stateFollows);
  if (!machineRow(scratch.machineIndex)) return 0;
  platform::copyString(scratch.driverPath, sizeof scratch.driverPath, driverModule().path);

  char callerName[sizeof record->displayName + 1] = {};
  std::memcpy(callerName, record->displayName, sizeof record->displayName);
  int length = static_cast<int>(std::strlen(callerName));
  if (length > 0 && jStrCmpNI(callerName, scratch.displayName, length) != 0) return 0;

  jPrintCloseMachine(record);
  *record = scratch;
  if (!stateFollows) return 0;
  if (!jPrintOpenMachine(record)) return 0;
  uint8_t stateBytes[kStateBytes];
  if (!readExactly(file, stateBytes, kStateBytes)) {
    jPrintCloseMachine(record);
    return 0;
  }
  decodeState(stateBytes, record->state);
  const char* folder = driverModule().folder;
  rebaseColorFile(record->state->profile.colorFile1, folder);
  rebaseColorFile(record->state->profile.colorFile2, folder);
  return 1;
}

}  // namespace
}  // namespace rx3

extern "C" {

int jPrintSaveMachine(DeviceRecord* record) {
  char path[platform::kMaxPath];
  if (!record || !rx3::settingsFilePath(path)) return 0;
  platform::NamedLock lock(rx3::kPrintLockName);
  return rx3::saveLocked(*record, path);
}

int jPrintLoadMachine(DeviceRecord* record) {
  char path[platform::kMaxPath];
  if (!record || !rx3::settingsFilePath(path)) return 0;
  platform::NamedLock lock(rx3::kPrintLockName);
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadShared);
  if (!file) return 0;
  int result = rx3::loadLocked(record, file);
  platform::closeFile(file);
  return result;
}

}  // extern "C"
