#include "app/jobs/job_files.h"

#include <cstdio>
#include <cstring>

#include "Base.h"
#include "app/jobs/draw_calls.h"
#include "app/jobs/job_list.h"
#include "app/shell/variant.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr unsigned kLastSpoolNumber = 0xFFFE;

// The size and last-write date of the job's file; left 0 when it cannot be
// opened (the job is then listed without them).
void readSizeAndDate(JobRecord* record) {
  record->fileSize = 0;
  record->year = record->month = record->day = record->hour = record->minute = record->second = 0;
  platform::FileHandle file = platform::openFile(record->path, platform::OpenMode::ReadExclusive);
  if (!file) return;
  std::uint64_t size = 0;
  if (platform::fileSize(file, &size)) record->fileSize = static_cast<uint32_t>(size);
  platform::LocalTime t{};
  if (platform::lastWriteLocalTime(file, &t)) {
    record->year = t.year;
    record->month = t.month;
    record->day = t.day;
    record->hour = t.hour;
    record->minute = t.minute;
    record->second = t.second;
  }
  platform::closeFile(file);
}

bool tileBlockRequired() {
  return variantOf(jOemText(0)) == kTagwright;
}

}  // namespace

int loadJob(AppState* state, JobRecord* record) {
  if (!state || !record || !record->path[0]) return 0;
  const DrawCalls& draw = drawCalls();
  jDEVICE device = draw.loadDevice(record->path);
  if (!device) return 0;
  if (record->device) draw.closeDevice(record->device);
  record->device = device;

  jMemFree(record->deviceSettings);
  record->deviceSettings = draw.loadDeviceSetting(record->path);
  if (!record->deviceSettings) return 0;

  jMemFree(record->tileBlock);
  record->tileBlock = jMemAlloc(J_TILE_BLOCK_SIZE);
  if (record->tileBlock && draw.loadTileBlock(record->path, record->tileBlock) == 0) {
    jMemFree(record->tileBlock);
    record->tileBlock = nullptr;
  }
  if (!record->tileBlock && tileBlockRequired()) return 0;

  char machine[kMachineNameSize] = {};
  draw.machineName(record->device, machine);
  machine[kMachineNameSize - 1] = '\0';
  std::memcpy(record->machineName, machine, sizeof machine);

  char virtualDevice[kDevicePortSize] = {};
  char port[kDevicePortSize] = {};
  if (!draw.devicePort(state->printerFolder, record->machineName, record->deviceSettings, virtualDevice, port)) {
    return 0;
  }
  virtualDevice[kDevicePortSize - 1] = port[kDevicePortSize - 1] = '\0';
  std::memcpy(record->virtualDevice, virtualDevice, sizeof virtualDevice);
  std::memcpy(record->port, port, sizeof port);

  record->fileKind = platform::endsWithNoCase(record->path, "vjx") ? kOwnSpoolFileKind : 0;
  readSizeAndDate(record);
  return 1;
}

int makeSpoolName(const char* folder, char* out, std::size_t capacity) {
  if (!out || capacity == 0) return 0;
  out[0] = '\0';
  if (!folder) return 0;
  char prefix[platform::kMaxPath];
  if (!platform::copyString(prefix, sizeof prefix, folder) ||
      !platform::ensureTrailingSeparator(prefix, sizeof prefix)) {
    return 0;
  }
  for (unsigned number = 0; number <= kLastSpoolNumber; ++number) {
    const int length = std::snprintf(out, capacity, "%sVLX%04X.vjx", prefix, number);
    if (length < 0 || static_cast<std::size_t>(length) >= capacity) break;  // a cut name is another file
    if (!platform::pathExists(out)) return 1;
  }
  out[0] = '\0';
  return 0;
}

int moveJobToFolder(JobRecord* record, const char* folder) {
  if (!record) return 0;
  if (record->path[0] && folder && folder[0]) {
    // The folder may have been removed while the program ran; a move into
    // nothing would leave the file in its own folder, to be printed again.
    if (!platform::isFolder(folder)) platform::createFolder(folder);
    char target[platform::kMaxPath];
    if (makeSpoolName(folder, target, sizeof target)) platform::moveFile(record->path, target);
  }
  unlink(record);
  destroyJob(record);
  return 1;
}

int deleteJob(JobRecord* record) {
  if (!record) return 0;
  if (record->path[0]) platform::deleteFile(record->path);
  unlink(record);
  destroyJob(record);
  return 1;
}

}  // namespace vlx
