// The ink account of one machine: its ink file beside the plug-in and the
// accounting of every printed page.
#pragma once

#include "PrintDriver.h"

// Adds a page's volumes (picolitres per ink, eight) to the machine's ink file
// of an open record under the printing lock: lastPage = the page's volume,
// totalUsed += it. Called once the printer took the page (an aborted page
// too: its printed lines used ink), never for a page the port lost.
// 1; 0 only when the record is not open.
int accountInk(DeviceRecord* record, const uint64_t* volumes);
