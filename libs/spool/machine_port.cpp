// Which virtual device of the registry prints for a machine: the printing-
// device layer asks this for a job's output device and port; and the sweep
// of what crashed jobs left in the registry's file ports.
#include <cstring>

#include "SPOOL.h"
#include "libs/spool/device_registry.h"
#include "libs/spool/port_sink.h"
#include "platform/path.h"

namespace {

bool serves(const spool::RegistryDevice* device, const char* machine) {
  return device && std::strcmp(device->machine, machine) == 0;
}

}  // namespace

JSPOOL_API int jSplFindMachinePort(const char* registryPath, const char* machine, const char* preferredDevice,
                                   char* device, char* port) {
  if (device) device[0] = '\0';
  if (port) port[0] = '\0';
  if (!registryPath || !machine || !machine[0] || !device || !port) return 0;
  static thread_local spool::DeviceRegistry registry;  // large: kept off the stack
  if (!spool::loadRegistry(registryPath, &registry)) return 0;
  const spool::RegistryDevice* found = nullptr;
  if (preferredDevice && preferredDevice[0]) found = spool::findDevice(registry, preferredDevice);
  if (!serves(found, machine)) found = spool::currentDevice(registry);
  for (int i = 0; !serves(found, machine) && i < registry.count; ++i) found = &registry.devices[i];
  if (!serves(found, machine)) return 0;
  return platform::copyString(device, spool::kRegistryText, found->name) &&
                 platform::copyString(port, spool::kRegistryText, found->port)
             ? 1
             : 0;
}

JSPOOL_API int jSplSweepPorts(const char* registryPath, int olderThanSeconds) {
  if (!registryPath) return 0;
  static thread_local spool::DeviceRegistry registry;
  if (!spool::loadRegistry(registryPath, &registry)) return 0;
  int removed = 0;
  for (int i = 0; i < registry.count; ++i) {
    // Devices may share a folder: each folder is swept once.
    bool seen = false;
    for (int j = 0; j < i && !seen; ++j)
      seen = platform::equalNoCase(registry.devices[j].port, registry.devices[i].port);
    if (!seen) removed += spool::sweepPartFiles(registry.devices[i].port, olderThanSeconds);
  }
  return removed;
}
