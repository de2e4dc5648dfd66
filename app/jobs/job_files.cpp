#include "app/jobs/job_files.h"

#include <cstdio>
#include <cstring>
#include <string>

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

constexpr char kNotAJob[] = "ｼﾞｮﾌﾞﾌｧｲﾙとして読めません（壊れたﾌｧｲﾙか、この版では読めない新しいﾌｧｲﾙです）";
constexpr char kNoTiling[] = "分割情報のないｼﾞｮﾌﾞです";
constexpr char kNoDeviceFormat[] = "この機種の出力先がありません（ｲﾝｽﾄｰﾙされていない機種です）: %s";
constexpr char kCutShort[] = "ｼﾞｮﾌﾞﾌｧｲﾙが途中で終わっています（書き込みが終わらないまま止まりました）";
constexpr char kEmpty[] = "空のﾌｧｲﾙです（書き込まれないまま止まりました）";
constexpr char kOffPage[] = "ﾍﾟｰｼﾞに収まらない座標があります（ﾍﾟｰｼﾞか図形の位置が範囲外です）";
constexpr char kDeviceRegistryName[] = "DEVICE.rgs";

// How a file the library gives no device is taken, by what the library
// says of it; any other answer is no job.
struct CheckVerdict {
  int check;
  LoadVerdict verdict;
  const char* reason;
};
constexpr CheckVerdict kCheckVerdicts[] = {
    {J_DRX_UNREADABLE, LoadVerdict::Retry, nullptr},
    {J_DRX_CUT_SHORT, LoadVerdict::Unfinished, kCutShort},
    {J_DRX_EMPTY, LoadVerdict::Unfinished, kEmpty},
    {J_DRX_OFF_PAGE, LoadVerdict::Reject, kOffPage},
};

// The size and last-write date of the job's file. A date that cannot be read
// now (the file is open elsewhere, an I/O error) is never taken as 0: the
// printed list would sort the job as the oldest and trim it first.
bool readSizeAndDate(JobRecord* record) {
  record->fileSize = 0;
  record->year = record->month = record->day = record->hour = record->minute = record->second = 0;
  platform::FileHandle file = platform::openFile(record->path, platform::OpenMode::ReadAnyShare);
  if (!file) return false;
  std::uint64_t size = 0;
  platform::LocalTime t{};
  const bool read = platform::fileSize(file, &size) && platform::lastWriteLocalTime(file, &t);
  platform::closeFile(file);
  if (!read) return false;
  record->fileSize = static_cast<uint32_t>(size);
  record->year = t.year;
  record->month = t.month;
  record->day = t.day;
  record->hour = t.hour;
  record->minute = t.minute;
  record->second = t.second;
  return true;
}

// Every byte of the file can be read now. When the drawing library refuses a
// file that cannot, the fault is the moment's (sharing, I/O), not the job's.
bool readableNow(const char* path) {
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadAnyShare);
  if (!file) return false;
  static char chunk[64 * 1024];  // window thread only
  std::int64_t got = 0;
  while ((got = platform::readFile(file, chunk, sizeof chunk)) > 0) {
  }
  platform::closeFile(file);
  return got == 0;
}

// The installation's device registry can be read: without it no job finds
// its port, and that is the installation's fault, not the jobs'.
bool deviceRegistryReadable(const AppState& state) {
  char path[platform::kMaxPath];
  if (!platform::joinPath(path, sizeof path, state.printerFolder, kDeviceRegistryName)) return false;
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadAnyShare);
  if (!file) return false;
  char byte = 0;
  const bool read = platform::readFile(file, &byte, 1) == 1;
  platform::closeFile(file);
  return read;
}

LoadVerdict refuse(const char* path, const char* text, char* reason, std::size_t capacity) {
  if (!readableNow(path)) return LoadVerdict::Retry;
  if (reason && capacity) platform::copyTruncated(reason, capacity, text);
  return LoadVerdict::Reject;
}

bool tileBlockRequired() {
  return variantOf(jOemText(0)) == kTagwright;
}

// A file that is no job as it stands: why, and whether it may yet become one.
LoadVerdict noDevice(const char* path, char* reason, std::size_t capacity) {
  const DrawCalls& draw = drawCalls();
  const int check = draw.checkFile ? draw.checkFile(path) : J_DRX_NOT_A_JOB;
  for (const CheckVerdict& c : kCheckVerdicts) {
    if (c.check != check) continue;
    if (c.verdict == LoadVerdict::Reject) return refuse(path, c.reason, reason, capacity);
    if (c.reason && reason && capacity) platform::copyTruncated(reason, capacity, c.reason);
    return c.verdict;
  }
  return refuse(path, kNotAJob, reason, capacity);
}

}  // namespace

LoadVerdict loadJobChecked(AppState* state, JobRecord* record, char* reason, std::size_t capacity) {
  if (reason && capacity) reason[0] = '\0';
  if (!state || !record || !record->path[0]) return LoadVerdict::Retry;
  const DrawCalls& draw = drawCalls();
  jDEVICE device = draw.loadDevice(record->path);
  if (!device) return noDevice(record->path, reason, capacity);
  if (record->device) draw.closeDevice(record->device);
  record->device = device;

  jMemFree(record->deviceSettings);
  record->deviceSettings = draw.loadDeviceSetting(record->path);
  if (!record->deviceSettings) return refuse(record->path, kNotAJob, reason, capacity);

  jMemFree(record->tileBlock);
  record->tileBlock = jMemAlloc(J_TILE_BLOCK_SIZE);
  if (record->tileBlock && draw.loadTileBlock(record->path, record->tileBlock) == 0) {
    jMemFree(record->tileBlock);
    record->tileBlock = nullptr;
  }
  if (!record->tileBlock && tileBlockRequired()) return refuse(record->path, kNoTiling, reason, capacity);

  char machine[kMachineNameSize] = {};
  draw.machineName(record->device, machine);
  machine[kMachineNameSize - 1] = '\0';
  std::memcpy(record->machineName, machine, sizeof machine);

  char virtualDevice[kDevicePortSize] = {};
  char port[kDevicePortSize] = {};
  if (!draw.devicePort(state->printerFolder, record->machineName, record->deviceSettings, virtualDevice, port)) {
    if (!deviceRegistryReadable(*state)) return LoadVerdict::Retry;
    char text[160];
    std::snprintf(text, sizeof text, kNoDeviceFormat, record->machineName);
    return refuse(record->path, text, reason, capacity);
  }
  virtualDevice[kDevicePortSize - 1] = port[kDevicePortSize - 1] = '\0';
  std::memcpy(record->virtualDevice, virtualDevice, sizeof virtualDevice);
  std::memcpy(record->port, port, sizeof port);

  record->fileKind = platform::endsWithNoCase(record->path, "vjx") ? kOwnSpoolFileKind : 0;
  return readSizeAndDate(record) ? LoadVerdict::Loaded : LoadVerdict::Retry;
}

int loadJob(AppState* state, JobRecord* record) {
  return loadJobChecked(state, record, nullptr, 0) == LoadVerdict::Loaded ? 1 : 0;
}

bool moveToRejected(const char* path, const char* hotFolder, char* movedTo, std::size_t capacity) {
  char folder[platform::kMaxPath];
  if (!path || !hotFolder || !movedTo || !platform::joinPath(folder, sizeof folder, hotFolder, kRejectedFolderName))
    return false;
  if (!platform::isFolder(folder) && !platform::createFolder(folder)) return false;
  const std::string name = platform::fileNamePart(path);
  const std::size_t dot = name.rfind('.');
  const std::string extension = dot != std::string::npos && dot != 0 ? name.substr(dot) : std::string();
  // Room for the folder, a separator, a "-999" and the extension; a longer
  // stem is cut at a character's start (the journal keeps the whole name).
  const std::size_t room = platform::kMaxPath - 1 - std::strlen(folder) - 1 - 4 - extension.size();
  if (extension.size() > 64 || room < 8 || room > platform::kMaxPath) return false;
  char stem[platform::kMaxPath];
  platform::copyTruncated(stem, room + 1, name.substr(0, name.size() - extension.size()).c_str());
  for (int n = 1; n < 1000; ++n) {
    char candidate[platform::kMaxPath];
    const int length = n == 1 ? std::snprintf(candidate, sizeof candidate, "%s%s", stem, extension.c_str())
                              : std::snprintf(candidate, sizeof candidate, "%s-%d%s", stem, n, extension.c_str());
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof candidate) return false;
    if (!platform::joinPath(movedTo, capacity, folder, candidate)) return false;
    if (!platform::pathExists(movedTo)) return platform::moveFile(path, movedTo);
  }
  movedTo[0] = '\0';
  return false;
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
  return moveJobToFolder(record, folder, nullptr, nullptr, 0);
}

int moveJobToFolder(JobRecord* record, const char* folder, bool* moved, char* movedTo, std::size_t capacity) {
  return moveJobToList(record, folder, nullptr, moved, movedTo, capacity);
}

int moveJobToList(JobRecord* record, const char* folder, JobRecord* targetHead, bool* moved, char* movedTo,
                  std::size_t capacity) {
  if (moved) *moved = false;
  if (movedTo && capacity) movedTo[0] = '\0';
  if (!record) return 0;
  char target[platform::kMaxPath] = "";
  if (record->path[0] && folder && folder[0]) {
    // The folder may have been removed while the program ran; a move into
    // nothing would leave the file in its own folder, to be printed again.
    if (!platform::isFolder(folder)) platform::createFolder(folder);
    makeSpoolName(folder, target, sizeof target);
  }
  bool done = false;
  moveJobToListAt(record, target, targetHead, &done);
  if (moved) *moved = done;
  if (done && movedTo && capacity) platform::copyTruncated(movedTo, capacity, target);
  return 1;
}

int moveJobToListAt(JobRecord* record, const char* target, JobRecord* targetHead, bool* moved) {
  if (moved) *moved = false;
  if (!record) return 0;
  const bool done = record->path[0] && target && target[0] && platform::moveFile(record->path, target);
  if (done && moved) *moved = true;
  unlink(record);
  // The record already holds what a scan of the new folder would load from
  // the same bytes: it is listed there as it is, not after the settling look
  // and the next refresh.
  if (done && targetHead && platform::copyString(record->path, sizeof record->path, target)) {
    record->state = Idle;
    record->selected = 0;
    record->fileKind = platform::endsWithNoCase(record->path, "vjx") ? kOwnSpoolFileKind : 0;
    record->prev = record->next = nullptr;
    if (append(record, targetHead)) return 1;
  }
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
