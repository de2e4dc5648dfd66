#include "libs/spool/port_dialog_choice.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "libs/spool/device_registry.h"
#include "platform/path.h"

namespace spool {
namespace {

bool digitsOnly(const char* text) {
  if (!*text) return false;
  for (; *text; ++text)
    if (*text < '0' || *text > '9') return false;
  return true;
}

bool formatInto(char* out, std::size_t capacity, const char* a, const char* b, const char* c) {
  int n = std::snprintf(out, capacity, "%s%s%s", a, b, c);
  return n > 0 && static_cast<std::size_t>(n) < capacity;
}

}  // namespace

bool composePortText(PortKind kind, const char* first, const char* second, char* out, std::size_t capacity) {
  if (capacity == 0) return false;
  bool made = false;
  switch (kind) {
    case PortKind::kFolder:
      made = first[0] && formatInto(out, capacity, "FILE:", first, "");
      break;
    case PortKind::kTcp:
      made =
          first[0] && digitsOnly(second) && std::strlen(second) <= 5 && formatInto(out, capacity, first, ":", second);
      break;
    case PortKind::kPrinter:
      made = first[0] && formatInto(out, capacity, first, "", "");
      break;
    case PortKind::kProof:  // lives only within one process: never stored
    case PortKind::kNone:
      break;
  }
  // The text must read back as the kind chosen: "lp:9100" typed as a printer
  // name would otherwise be sent to a network address.
  if (made && readPortText(out).kind != kind) made = false;
  if (!made) out[0] = '\0';
  return made;
}

StoreResult storeDevicePort(const char* registryPath, const char* device, const char* port) {
  auto* registry = static_cast<DeviceRegistry*>(std::malloc(sizeof(DeviceRegistry)));
  if (!registry) return StoreResult::kSaveFailed;
  StoreResult result = StoreResult::kUnknownDevice;
  loadRegistry(registryPath, registry);
  const RegistryDevice* found = findDevice(*registry, device);
  if (found) {
    RegistryDevice changed = *found;
    result = platform::copyString(changed.port, sizeof changed.port, port) && putDevice(registry, changed) &&
                     saveRegistry(registryPath, *registry)
                 ? StoreResult::kStored
                 : StoreResult::kSaveFailed;
  }
  std::free(registry);
  return result;
}

}  // namespace spool
