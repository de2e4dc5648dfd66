#include "driver/machines/driver_module.h"

#include <cstring>

#include "Base.h"
#include "platform/path.h"

namespace rx3 {
namespace {

DriverModule g_module;

}  // namespace

bool attachDriver(const char* driverPath) {
  if (g_module.attached) detachDriver();
  std::memset(&g_module, 0, sizeof g_module);
  if (!driverPath || !platform::copyString(g_module.path, sizeof g_module.path, driverPath)) return false;
  jFilesSplitPath(g_module.path, g_module.folder, nullptr);
  if (!buildMachineTable(&g_module.table, g_module.folder)) {
    std::memset(&g_module, 0, sizeof g_module);
    return false;
  }
  g_module.printLock = platform::openNamedMutex(kPrintLockName);
  g_module.attached = true;
  return true;
}

void detachDriver() {
  freeMachineTable(&g_module.table);
  if (g_module.printLock) platform::closeNamedMutex(g_module.printLock);
  std::memset(&g_module, 0, sizeof g_module);
}

const DriverModule& driverModule() {
  return g_module;
}

const MachineInfo* machineRow(int machineIndex) {
  return machineRowForUpdate(machineIndex);
}

MachineInfo* machineRowForUpdate(int machineIndex) {
  if (machineIndex < 0 || machineIndex >= g_module.table.count || !g_module.table.rows) return nullptr;
  return &g_module.table.rows[machineIndex];
}

}  // namespace rx3
