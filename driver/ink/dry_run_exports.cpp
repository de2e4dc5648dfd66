// Dry runs: an open record whose pages count into a scratch account, so that
// a host learns a job's ink to the picolitre without a drop printed or the
// machine's account touched. The scratch account lies in a folder directly
// inside the plug-in's folder (the one other place the ink exports take an
// account from), named after a reserved temporary file there; both go when
// the run ends.
#include <cstring>
#include <string>
#include <vector>

#include "driver/ink/ink_file.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "driver/machines/machine_state.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace {

constexpr char kScratchPrefix[] = "PRF";
constexpr char kFolderSuffix = 'd';  // the folder is the reserved file's name and this

// The record's folder when it is a scratch folder of this plug-in.
bool inScratch(const MachineState& state) {
  if (!std::memchr(state.driverDirectory, '\0', sizeof state.driverDirectory)) return false;
  char parent[platform::kMaxPath];
  const std::size_t length = std::strlen(state.driverDirectory);
  return length > 1 && state.driverDirectory[length - 1] == kFolderSuffix &&
         platform::folderPart(state.driverDirectory, parent, sizeof parent) &&
         std::strcmp(parent, rx3::driverModule().folder) == 0;
}

void removeScratch(const char* folder) {
  std::vector<std::string> files;
  platform::listFolder(folder, [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) files.push_back(e.name);
    return true;
  });
  for (const std::string& name : files) {
    char path[platform::kMaxPath];
    if (platform::joinPath(path, sizeof path, folder, name.c_str())) platform::deleteFile(path);
  }
  platform::removeFolder(folder);
  std::string reserved(folder);
  reserved.pop_back();
  platform::deleteFile(reserved.c_str());
}

}  // namespace

extern "C" {

int jPrintBeginDryRun(DeviceRecord* record) {
  if (!record || !record->state) return 0;
  MachineState* state = record->state;
  if (inScratch(*state)) return 0;  // one run at a time per record
  char reserved[platform::kMaxPath];
  if (!platform::makeTempFile(rx3::driverModule().folder, kScratchPrefix, reserved, sizeof reserved)) return 0;
  char folder[platform::kMaxPath] = {};
  const std::size_t length = std::strlen(reserved);
  if (length + 2 > sizeof folder || !platform::copyString(folder, sizeof folder, reserved)) {
    platform::deleteFile(reserved);
    return 0;
  }
  folder[length] = kFolderSuffix;
  if (!platform::createFolder(folder)) {
    platform::deleteFile(reserved);
    return 0;
  }
  std::memcpy(state->driverDirectory, folder, sizeof state->driverDirectory);
  // Spooling changes where the bytes wait, not what they are.
  state->spoolMode = 0;
  // The run counts into a fresh account; one that cannot be written would
  // count nothing and pass for a job of 0 ml.
  InkEntry fresh[rx3::kInkCount];
  jPrintLoadInk(record, fresh);
  for (InkEntry& ink : fresh) ink.totalUsed = ink.lastPage = 0;
  if (jPrintSaveInk(record, fresh) != 1) {
    jPrintEndDryRun(record);
    return 0;
  }
  return 1;
}

int jPrintEndDryRun(DeviceRecord* record) {
  if (!record || !record->state) return 0;
  MachineState* state = record->state;
  if (!inScratch(*state)) return 1;
  removeScratch(state->driverDirectory);
  std::memset(state->driverDirectory, 0, sizeof state->driverDirectory);
  platform::copyString(state->driverDirectory, sizeof state->driverDirectory, rx3::driverModule().folder);
  state->spoolMode = record->spoolMode;
  return 1;
}

}  // extern "C"
