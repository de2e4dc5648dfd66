// The device registry of one installation ("DEVICE.rgs"): the virtual
// devices, the driver plug-in and machine each prints with, its port, and
// which device is the current choice. Read and written only here; the port
// dialogs and jSplGetPort go through these functions.
#pragma once

#include <cstddef>

namespace spool {

constexpr int kMaxRegistryDevices = 64;
constexpr std::size_t kRegistryText = 260;  // bytes of each text field, terminator included
constexpr std::size_t kRegistryMachine = 64;

struct RegistryDevice {
  char name[kRegistryText];        // virtual device name, unique ignoring case
  char driverFile[kRegistryText];  // plug-in file name, e.g. "RX3.dll"
  char machine[kRegistryMachine];  // machine display name within the plug-in
  char port[kRegistryText];        // port text, handed unchanged to the channel
};

// How long a port may take no byte before its job fails.
struct PortTimeout {
  char port[kRegistryText];  // port text, compared ignoring case
  int seconds;               // 1..kMaxPortTimeoutSeconds
};
constexpr int kMaxPortTimeoutSeconds = 3600;

struct DeviceRegistry {
  char current[kRegistryText];  // name of the current device; empty = the first one
  int count;
  RegistryDevice devices[kMaxRegistryDevices];
  int timeoutCount;
  PortTimeout timeouts[kMaxRegistryDevices];
};

// Remembers where this installation's registry lies (for the process).
// False when the path is empty or does not fit.
bool rememberRegistryPath(const char* path);
// The remembered path, or the default beside the spool library
// ("<folder>\printer\DEVICE.rgs", else "<folder>\DEVICE.rgs"). False when
// no path can be formed.
bool registryPath(char* out, std::size_t capacity);

// Parses registry text; unknown or malformed lines are skipped, never cut.
void parseRegistry(const char* text, std::size_t length, DeviceRegistry* registry);
// Formats the registry as text (CR LF lines); the number of bytes, or 0 when
// it does not fit in capacity.
std::size_t formatRegistry(const DeviceRegistry& registry, char* out, std::size_t capacity);

// Whole-file access. Load: false (and an empty registry) when the file is
// missing, unreadable or larger than any registry can be.
bool loadRegistry(const char* path, DeviceRegistry* registry);
bool saveRegistry(const char* path, const DeviceRegistry& registry);

// The current device (the named one, or the first); null when there is none.
const RegistryDevice* currentDevice(const DeviceRegistry& registry);
const RegistryDevice* findDevice(const DeviceRegistry& registry, const char* name);
// Adds or replaces a device (matched by name, ignoring case); false when full
// or a field does not fit.
bool putDevice(DeviceRegistry* registry, const RegistryDevice& device);
// Sets a port's send time-out (replacing its earlier one); false when full,
// the port text does not fit or the seconds lie outside 1..3600.
bool putPortTimeout(DeviceRegistry* registry, const char* port, int seconds);
// The send time-out of a port in milliseconds: its TIMEOUT line in the
// registry at path, else the default of 60 seconds.
int portTimeoutMs(const char* path, const char* port);

}  // namespace spool
