// The ink account of one machine: its ink file beside the plug-in and the
// accounting of every printed page.
#pragma once

#include "PrintDriver.h"

// Adds the page volumes of an open record (record->state->engine.pageInk,
// picolitres per ink) to the machine's ink file under the printing lock:
// lastPage = the page's volume, totalUsed += it. Called after every page,
// aborted ones too. 1; 0 only when the record is not open.
int accountPageInk(DeviceRecord* record);
