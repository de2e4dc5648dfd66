// The port selection dialogs' rules without a window: the port text each
// kind of port is written as, and the store of a confirmed choice into the
// device registry.
#pragma once

#include <cstddef>

#include "libs/spool/port_text.h"

namespace spool {

constexpr int kRawTcpPort = 9100;

// The port text of a choice: kFolder "FILE:<folder>" (first = folder),
// kTcp "<host>:<port>" (first = host, second = the port number as typed),
// kPrinter the printer's name (first). False, out empty, when the fields do
// not make a port of that kind (an empty folder, a host with blanks, a port
// outside 1 ... 65535, a printer name that would read as another kind) or
// the text does not fit.
bool composePortText(PortKind kind, const char* first, const char* second, char* out, std::size_t capacity);

enum class StoreResult { kStored, kUnknownDevice, kSaveFailed };

// Gives the named device the port in the registry file at registryPath and
// writes the file; nothing is written for a device the registry lacks.
StoreResult storeDevicePort(const char* registryPath, const char* device, const char* port);

}  // namespace spool
