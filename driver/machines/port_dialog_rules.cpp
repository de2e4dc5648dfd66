#include "driver/machines/port_dialog_rules.h"

#include <cstring>

#include "platform/path.h"

namespace rx3 {

bool networkRegistryPath(const char* driverFolder, char* out, std::size_t capacity) {
  if (capacity) out[0] = '\0';
  if (!driverFolder || driverFolder[0] != '\\') return false;
  if (!platform::joinPath(out, capacity, driverFolder, "DEVICE.rgs")) {
    if (capacity) out[0] = '\0';
    return false;
  }
  return true;
}

bool readSpoolLimit(const char* text, int32_t* out) {
  const char* p = text;
  while (*p == ' ') ++p;
  int32_t value = 0;
  int digits = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (++digits > 4) return false;
    value = value * 10 + (*p - '0');
  }
  while (*p == ' ') ++p;
  if (digits == 0 || *p != '\0' || value > kSpoolLimitMaxMB) return false;
  *out = value;
  return true;
}

}  // namespace rx3
