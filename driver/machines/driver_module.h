// The plug-in's process-wide values, set at module attach and cleared at
// detach: its own file name and folder, the machine table and the handle of
// the printing lock.
#pragma once

#include "driver/machines/machine_table.h"
#include "platform/named_mutex.h"

namespace rx3 {

// Guards the settings file and the ink files across processes.
constexpr const char* kPrintLockName = "MUTEX_PRINT_DEV";

struct DriverModule {
  bool attached;
  char path[260];    // full file name of the plug-in
  char folder[260];  // its folder, without a trailing separator
  MachineTable table;
  platform::NamedMutex* printLock;  // held open for the module's lifetime
};

// Called by the DLL entry point (and by the native tests): builds the table
// and creates the lock. False when the path does not fit or the table
// cannot be allocated; the module must then not load. Attaching again first
// detaches.
bool attachDriver(const char* driverPath);
void detachDriver();

const DriverModule& driverModule();
// The table row of a record's machine index, or null when out of range.
const MachineInfo* machineRow(int machineIndex);
// The row, writable (the printer setup dialog reloads paper lists).
MachineInfo* machineRowForUpdate(int machineIndex);

}  // namespace rx3
