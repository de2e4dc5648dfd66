// The rules of the port and spool dialog without any window.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rx3 {

constexpr int32_t kSpoolLimitMaxMB = 1000;

// A driver folder on a network path (it begins with a backslash) keeps its
// own device registry: out = folder + "\DEVICE.rgs" and true. False for a
// local folder, or when the path does not fit (out is then empty).
bool networkRegistryPath(const char* driverFolder, char* out, std::size_t capacity);

// A spool limit as typed: blanks around decimal digits, 0 ... 1000. False
// for anything else (a sign, letters, no digits, out of range): the limit
// is then refused, not bent into the range.
bool readSpoolLimit(const char* text, int32_t* out);

}  // namespace rx3
