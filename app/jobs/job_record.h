// One print job as vellox knows it, and the head record that starts each of
// the two job lists. A record owns its device handle and the two blocks the
// drawing library gave for it; it never owns the job file on disk.
#pragma once

#include <cstdint>

#include "Draw.h"

namespace vlx {

enum JobState : int32_t { Fresh = 1, Idle = 2, Waiting = 4, Printing = 8 };

// File kind of a job whose file name ends in "vjx": our own spool job file.
constexpr uint32_t kOwnSpoolFileKind = 0x1000000;

constexpr int kJobPathSize = 260;
constexpr int kMachineNameSize = 64;
constexpr int kDevicePortSize = 100;

}  // namespace vlx

struct JobRecord {
  int32_t state;  // vlx::JobState
  uint32_t fileKind;
  char path[vlx::kJobPathSize];                    // folder, separator, file name; empty in a fresh record
  uint32_t fileSize;                               // low 32 bits; 0 when unreadable
  int32_t year, month, day, hour, minute, second;  // last write, local time; 0 when unreadable
  jDEVICE device;                                  // 0 = none
  void* deviceSettings;                            // jMemFree'd by the record
  void* tileBlock;                                 // J_TILE_BLOCK_SIZE bytes or null; jMemFree'd by the record
  char machineName[vlx::kMachineNameSize];
  char virtualDevice[vlx::kDevicePortSize];
  char port[vlx::kDevicePortSize];
  int32_t selected;  // bit 0: the job's row is selected in its list view
  JobRecord* next;   // null at the end of the list
  JobRecord* prev;   // null only for the head record (and a record in no list)
};

#if J_LAYOUT_CHECKED
static_assert(offsetof(JobRecord, device) == 296 && offsetof(JobRecord, machineName) == 308, "job record layout");
static_assert(offsetof(JobRecord, selected) == 572 && sizeof(JobRecord) == 584, "job record layout");
#endif

namespace vlx {

// A fresh record holding a new device handle of the drawing library; null
// when memory is exhausted or the library gives no device.
JobRecord* createJob();
// Back to a fresh record. With release set, first closes the device and
// frees both blocks; without it (a block that was never a record) the old
// values are not looked at. 0 for a null record.
int resetJob(JobRecord* record, int release);
// Releases what the record owns and frees it. The caller unlinks it first.
int destroyJob(JobRecord* record);
int setSelected(JobRecord* record, int32_t value);
// Destroys record and every record after it. A record before it, if any,
// ends the list from then on.
int destroyChain(JobRecord* record);

}  // namespace vlx
