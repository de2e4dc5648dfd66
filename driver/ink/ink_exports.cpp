// The ink account's exports and the accounting of every printed page. All
// file access holds the printing lock, which the same thread may take again:
// the accounting holds it across load, add and save so that pages printed by
// two processes at once are added one after the other.
#include <cstdint>
#include <cstring>

#include "Base.h"
#include "driver/ink/ink_account.h"
#include "driver/ink/ink_file.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "driver/machines/machine_state.h"
#include "platform/atomic_file.h"
#include "platform/file.h"
#include "platform/named_mutex.h"
#include "platform/path.h"

namespace rx3 {
namespace {

// A display name names a file beside the plug-in; one that could reach
// another folder (a separator, a drive colon, a dot name) names no file.
bool isPlainFileName(const char* name) {
  if (!name[0] || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
    if (platform::isLeadByte(*p) && p[1]) {
      ++p;
      continue;
    }
    if (*p == '\\' || *p == '/' || *p == ':') return false;
  }
  return true;
}

// The ink file lies in the plug-in's folder. A host may point an open
// record's folder at a folder directly inside it: a dry run does, so that its
// pages are counted into a scratch account and the real one is never
// touched. Any other folder a record names (one restored from settings saved
// by another installation) is not taken.
const char* inkFolder(const DeviceRecord& record) {
  const char* own = driverModule().folder;
  const MachineState* state = record.state;
  if (!state || !std::memchr(state->driverDirectory, '\0', sizeof state->driverDirectory)) return own;
  char parent[platform::kMaxPath];
  const bool inside = platform::folderPart(state->driverDirectory, parent, sizeof parent) &&
                      std::strcmp(parent, own) == 0 && isPlainFileName(platform::fileNamePart(state->driverDirectory));
  return inside ? state->driverDirectory : own;
}

bool inkFilePath(const DeviceRecord& record, char* out) {
  // The display name may fill all its bytes without a terminator: room for
  // the whole name, the extension and the terminator.
  constexpr char kExtension[] = ".ink";
  char name[sizeof record.displayName + sizeof kExtension] = {};
  std::memcpy(name, record.displayName, sizeof record.displayName);
  if (!isPlainFileName(name)) return false;
  std::memcpy(name + std::strlen(name), kExtension, sizeof kExtension);
  return platform::joinPath(out, platform::kMaxPath, inkFolder(record), name);
}

int loadInks(const DeviceRecord* record, InkEntry* inks) {
  setDefaultInks(inks);
  int count = kInkCount;
  char path[platform::kMaxPath];
  if (!record || !inkFilePath(*record, path)) return count;
  platform::NamedLock lock(kPrintLockName);
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadShared);
  if (!file) return count;
  char line[kInkReadBytes];
  while (jFilesGets(file, line, sizeof line) > 0) {
    line[sizeof line - 1] = '\0';
    readInkLine(line, inks, &count);
  }
  platform::closeFile(file);
  return count;
}

bool saveInks(const DeviceRecord* record, const InkEntry* inks) {
  char path[platform::kMaxPath];
  if (!record || !inkFilePath(*record, path)) return false;
  static_assert(kInkFileLines * kInkLineBytes < 8192, "ink file lines stay small");
  char lines[kInkFileLines][kInkLineBytes];
  formatInkFile(inks, lines);
  platform::NamedLock lock(kPrintLockName);
  // The account is rewritten after every page: it goes to a file beside it
  // first, so that a crash mid-write keeps the account as it was.
  platform::AtomicFile file;
  if (!platform::beginAtomicFile(path, &file)) return false;
  bool written = true;
  for (const char* line : lines) written = written && jFilesPuts(file.file, line) > 0;
  if (!written) {
    platform::abandonAtomicFile(&file);
    return false;
  }
  return platform::commitAtomicFile(&file);
}

int64_t addVolume(int64_t total, uint64_t page) {
  if (page > static_cast<uint64_t>(INT64_MAX) || total > INT64_MAX - static_cast<int64_t>(page)) return INT64_MAX;
  return total + static_cast<int64_t>(page);
}

}  // namespace
}  // namespace rx3

int accountInk(DeviceRecord* record, const uint64_t* page) {
  if (!record || !record->state || !page) return 0;
  platform::NamedLock lock(rx3::kPrintLockName);
  InkEntry inks[rx3::kInkCount];
  rx3::loadInks(record, inks);
  for (int i = 0; i < rx3::kInkCount; ++i) {
    uint64_t volume = page[i];
    inks[i].lastPage = volume > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(volume);
    inks[i].totalUsed = rx3::addVolume(inks[i].totalUsed, volume);
  }
  // A lost account must not fail the page: the page itself was printed.
  rx3::saveInks(record, inks);
  return 1;
}

extern "C" {

int jPrintLoadInk(DeviceRecord* record, InkEntry* inks) {
  if (!inks) return 0;
  return rx3::loadInks(record, inks);
}

int jPrintSaveInk(DeviceRecord* record, InkEntry* inks) {
  if (!inks) return 0;
  return rx3::saveInks(record, inks) ? 1 : 0;
}

}  // extern "C"
