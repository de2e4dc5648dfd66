// The ink of an ended page, held until its document's channel has ended:
// only then is it known whether the printer took the page (in spool mode
// the whole send happens there), and only a page the printer took is
// charged to the machine's ink account.
#pragma once

#include "PrintDriver.h"

namespace rx3 {

// Keeps the open page's volumes (engine.pageInk) with what the record holds.
void holdPageInk(const DeviceRecord* record);
// Charges what the record holds when taken is true, and forgets it either way.
void settleHeldInk(DeviceRecord* record, bool taken);

}  // namespace rx3
