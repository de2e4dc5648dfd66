// Which machines of the printer folder the device-settings dialog offers:
// the usable entries of the drawing library's machine table, filtered by
// the host keyword, in table order.
#pragma once

#include <vector>

#include "Draw.h"

namespace vlx {

// The dialog's parameter, built by the opener.
struct DeviceSettingsRequest {
  jMcnTable* table;
  char printerFolder[260];
  char machine[64];  // in: the current machine; out: the one chosen, or empty
  // "設定" opens the machine's ink dialog (after a cartridge change) instead
  // of its printer set-up; the dialog is then titled for it.
  bool ink = false;
};

// Whether an entry is offered under a host keyword: usable entries only;
// "Quillet" hides the machines whose name begins with "Lumora",
// "Tagwright" offers only those, any other keyword offers every usable one.
bool machineOffered(const char* hostKeyword, const jMcnEntry& entry);

// Table indices of the offered entries, in table order.
std::vector<int> offeredMachines(const jMcnTable* table, const char* hostKeyword);

}  // namespace vlx
