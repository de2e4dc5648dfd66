// The device registry file "DEVICE.rgs" of one installation.
//
// Format (our own): a CP932 text file of CR LF lines.
//   - A line that is empty or starts with ';' is a comment.
//   - "CURRENT<TAB><device>" names the current virtual device, the one that
//     jSplGetPort reports; without it (or when it names no device) the first
//     device is current. The last CURRENT line wins.
//   - "DEVICE<TAB><device><TAB><plug-in file><TAB><machine><TAB><port>"
//     declares one virtual device: its name (unique, ignoring case), the file
//     name of the driver plug-in that prints for it, the machine's display
//     name within that plug-in, and the port text, which the spool channel
//     interprets (this file carries it unchanged).
//   - "TIMEOUT<TAB><port><TAB><seconds>" sets how long that port (its port
//     text, ignoring case) may take no byte before its job fails: 1 to 3600
//     seconds; without it a port has 60 seconds.
//   Keys compare ignoring case. TAB, CR and LF are never trail bytes of a
//   double-byte character, so fields split on them safely. A line with a
//   field too long for its slot, with a missing field, or beyond the 64th
//   device is skipped whole: a cut name or port would name something else.
//
// The registry's path is remembered per process by jSplSaveDevicePort; a
// process that never called it (a host design program loading the driver)
// looks beside the spool library: "<folder>\printer\DEVICE.rgs", then
// "<folder>\DEVICE.rgs".
#include "libs/spool/device_registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SPOOL.h"
#include "libs/spool/send_control.h"
#include "platform/atomic_file.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"

namespace spool {
namespace {

// Bigger than any registry of 64 devices can be when written by us.
constexpr std::size_t kMaxRegistryFile = 128 * 1024;

char g_registryPath[platform::kMaxPath];

struct Span {
  const char* begin;
  std::size_t length;
};

bool copySpan(char* out, std::size_t capacity, Span span) {
  if (span.length >= capacity) return false;
  std::memcpy(out, span.begin, span.length);
  out[span.length] = '\0';
  return true;
}

bool spanIs(Span span, const char* key) {
  std::size_t n = std::strlen(key);
  return span.length == n && platform::compareNoCaseN(span.begin, key, n) == 0;
}

// Splits a line at TABs into at most max fields; the count found.
int splitFields(Span line, Span* fields, int max) {
  int count = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= line.length; ++i) {
    if (i == line.length || line.begin[i] == '\t') {
      if (count == max) return max + 1;  // too many fields
      fields[count++] = Span{line.begin + start, i - start};
      start = i + 1;
    }
  }
  return count;
}

void parseLine(Span line, DeviceRegistry* registry) {
  if (line.length == 0 || line.begin[0] == ';') return;
  Span fields[5];
  int count = splitFields(line, fields, 5);
  if (count == 2 && spanIs(fields[0], "CURRENT")) {
    copySpan(registry->current, sizeof registry->current, fields[1]);
    return;
  }
  if (count == 3 && spanIs(fields[0], "TIMEOUT")) {
    char port[kRegistryText];
    char digits[8];
    if (!copySpan(port, sizeof port, fields[1]) || !copySpan(digits, sizeof digits, fields[2])) return;
    int seconds = 0;
    for (const char* d = digits; *d; ++d) {
      if (*d < '0' || *d > '9') return;
      seconds = seconds * 10 + (*d - '0');
    }
    if (digits[0]) putPortTimeout(registry, port, seconds);
    return;
  }
  if (count != 5 || !spanIs(fields[0], "DEVICE") || registry->count >= kMaxRegistryDevices) return;
  RegistryDevice device{};
  if (fields[1].length == 0) return;
  if (!copySpan(device.name, sizeof device.name, fields[1]) ||
      !copySpan(device.driverFile, sizeof device.driverFile, fields[2]) ||
      !copySpan(device.machine, sizeof device.machine, fields[3]) ||
      !copySpan(device.port, sizeof device.port, fields[4]))
    return;
  putDevice(registry, device);
}

bool hasControl(const char* text) {
  for (; *text; ++text)
    if (*text == '\t' || *text == '\r' || *text == '\n') return true;
  return false;
}

bool fits(const char* text, std::size_t capacity) {
  return std::strlen(text) < capacity;
}

struct Writer {
  char* out;
  std::size_t capacity;
  std::size_t length;
  bool ok;
  void put(const char* text) {
    std::size_t n = std::strlen(text);
    if (!ok || length + n > capacity) {
      ok = false;
      return;
    }
    std::memcpy(out + length, text, n);
    length += n;
  }
};

}  // namespace

bool rememberRegistryPath(const char* path) {
  char copy[platform::kMaxPath];
  if (!path || !*path || !platform::copyString(copy, sizeof copy, path)) return false;
  std::memcpy(g_registryPath, copy, sizeof copy);
  return true;
}

bool registryPath(char* out, std::size_t capacity) {
  if (g_registryPath[0]) return platform::copyString(out, capacity, g_registryPath);
  char module[platform::kMaxPath];
  char folder[platform::kMaxPath];
  char printer[platform::kMaxPath];
  if (!platform::moduleFileName(reinterpret_cast<const void*>(&rememberRegistryPath), module, sizeof module) ||
      !platform::folderPart(module, folder, sizeof folder))
    return false;
  if (platform::joinPath(printer, sizeof printer, folder, "printer") &&
      platform::joinPath(out, capacity, printer, "DEVICE.rgs") && platform::pathExists(out))
    return true;
  return platform::joinPath(out, capacity, folder, "DEVICE.rgs");
}

void parseRegistry(const char* text, std::size_t length, DeviceRegistry* registry) {
  std::memset(registry, 0, sizeof *registry);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= length; ++i) {
    if (i == length || text[i] == '\r' || text[i] == '\n' || text[i] == '\0') {
      parseLine(Span{text + start, i - start}, registry);
      start = i + 1;
    }
  }
}

std::size_t formatRegistry(const DeviceRegistry& registry, char* out, std::size_t capacity) {
  Writer w{out, capacity, 0, true};
  w.put("; device registry: CURRENT<TAB>device, DEVICE<TAB>device<TAB>plug-in<TAB>machine<TAB>port\r\n");
  if (registry.current[0]) {
    w.put("CURRENT\t");
    w.put(registry.current);
    w.put("\r\n");
  }
  for (int i = 0; i < registry.count && i < kMaxRegistryDevices; ++i) {
    const RegistryDevice& d = registry.devices[i];
    w.put("DEVICE\t");
    w.put(d.name);
    w.put("\t");
    w.put(d.driverFile);
    w.put("\t");
    w.put(d.machine);
    w.put("\t");
    w.put(d.port);
    w.put("\r\n");
  }
  for (int i = 0; i < registry.timeoutCount && i < kMaxRegistryDevices; ++i) {
    char seconds[16];
    std::snprintf(seconds, sizeof seconds, "%d", registry.timeouts[i].seconds);
    w.put("TIMEOUT\t");
    w.put(registry.timeouts[i].port);
    w.put("\t");
    w.put(seconds);
    w.put("\r\n");
  }
  return w.ok ? w.length : 0;
}

bool loadRegistry(const char* path, DeviceRegistry* registry) {
  std::memset(registry, 0, sizeof *registry);
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadShared);
  if (!file) return false;
  std::uint64_t size = 0;
  bool ok = platform::fileSize(file, &size) && size <= kMaxRegistryFile;
  char* buffer = ok ? static_cast<char*>(std::malloc(static_cast<std::size_t>(size) + 1)) : nullptr;
  ok = ok && buffer;
  std::size_t length = 0;
  while (ok && length < size) {
    std::int64_t got = platform::readFile(file, buffer + length, static_cast<std::size_t>(size) - length);
    if (got <= 0) break;
    length += static_cast<std::size_t>(got);
  }
  platform::closeFile(file);
  if (ok) parseRegistry(buffer, length, registry);
  std::free(buffer);
  return ok;
}

bool saveRegistry(const char* path, const DeviceRegistry& registry) {
  char* buffer = static_cast<char*>(std::malloc(kMaxRegistryFile));
  if (!buffer) return false;
  std::size_t length = formatRegistry(registry, buffer, kMaxRegistryFile);
  const bool ok = length && platform::saveFileAtomically(path, buffer, length);
  std::free(buffer);
  return ok;
}

const RegistryDevice* findDevice(const DeviceRegistry& registry, const char* name) {
  for (int i = 0; i < registry.count; ++i)
    if (platform::equalNoCase(registry.devices[i].name, name)) return &registry.devices[i];
  return nullptr;
}

const RegistryDevice* currentDevice(const DeviceRegistry& registry) {
  if (registry.count == 0) return nullptr;
  const RegistryDevice* named = registry.current[0] ? findDevice(registry, registry.current) : nullptr;
  return named ? named : &registry.devices[0];
}

bool putDevice(DeviceRegistry* registry, const RegistryDevice& device) {
  if (!device.name[0] || !fits(device.name, sizeof device.name) || !fits(device.driverFile, sizeof device.driverFile) ||
      !fits(device.machine, sizeof device.machine) || !fits(device.port, sizeof device.port))
    return false;
  if (hasControl(device.name) || hasControl(device.driverFile) || hasControl(device.machine) || hasControl(device.port))
    return false;
  for (int i = 0; i < registry->count; ++i) {
    if (platform::equalNoCase(registry->devices[i].name, device.name)) {
      registry->devices[i] = device;
      return true;
    }
  }
  if (registry->count >= kMaxRegistryDevices) return false;
  registry->devices[registry->count++] = device;
  return true;
}

bool putPortTimeout(DeviceRegistry* registry, const char* port, int seconds) {
  if (!port || !port[0] || !fits(port, kRegistryText) || hasControl(port) || seconds < 1 ||
      seconds > kMaxPortTimeoutSeconds)
    return false;
  for (int i = 0; i < registry->timeoutCount; ++i) {
    if (platform::equalNoCase(registry->timeouts[i].port, port)) {
      registry->timeouts[i].seconds = seconds;
      return true;
    }
  }
  if (registry->timeoutCount >= kMaxRegistryDevices) return false;
  PortTimeout& t = registry->timeouts[registry->timeoutCount++];
  platform::copyString(t.port, sizeof t.port, port);
  t.seconds = seconds;
  return true;
}

int portTimeoutMs(const char* path, const char* port) {
  int ms = kDefaultSendTimeoutMs;
  auto* registry = static_cast<DeviceRegistry*>(std::malloc(sizeof(DeviceRegistry)));
  if (!registry) return ms;
  if (path && port && loadRegistry(path, registry)) {
    for (int i = 0; i < registry->timeoutCount; ++i)
      if (platform::equalNoCase(registry->timeouts[i].port, port)) ms = registry->timeouts[i].seconds * 1000;
  }
  std::free(registry);
  return ms;
}

}  // namespace spool

JSPOOL_API int jSplSaveDevicePort(const char* registryPath) {
  return spool::rememberRegistryPath(registryPath) ? 1 : 0;
}

JSPOOL_API int jSplGetPort(char* device, char* port) {
  if (device) device[0] = '\0';
  if (port) port[0] = '\0';
  char path[platform::kMaxPath];
  if (!spool::registryPath(path, sizeof path)) return 0;
  auto* registry = static_cast<spool::DeviceRegistry*>(std::malloc(sizeof(spool::DeviceRegistry)));
  if (!registry) return 0;
  int result = 0;
  const spool::RegistryDevice* current =
      spool::loadRegistry(path, registry) ? spool::currentDevice(*registry) : nullptr;
  if (current) {
    if (device) platform::copyString(device, spool::kRegistryText, current->name);
    if (port) platform::copyString(port, spool::kRegistryText, current->port);
    result = 1;
  }
  std::free(registry);
  return result;
}
