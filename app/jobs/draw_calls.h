// The drawing-library calls that load, preview and print job files, as one
// table. The program uses the library itself; tests put in a table of their
// own (Ninja's DiskInterface idea), so the job code can be exercised without
// real job files.
#pragma once

#include "Draw.h"

namespace vlx {

struct DrawCalls {
  jDEVICE (*loadDevice)(const char* path);
  void* (*loadDeviceSetting)(const char* path);
  int (*loadTileBlock)(const char* path, void* tileBlock);
  int (*closeDevice)(jDEVICE device);
  int (*machineName)(jDEVICE device, char* machine64);
  int (*devicePort)(const char* printerFolder, const char* machine, const void* setting, char* device100,
                    char* port100);
  int (*preview)(jCOLOR* preview, int flags, int reserved, const char* path);
  int (*emptyDocument)(int32_t document, int which);
  int (*loadDocument)(int32_t document, int flags, int reserved, const char* path);
  int (*print)(jHWND window, int32_t document, jDEVICE device, int reserved, const void* setting);
  int (*printTile)(jHWND window, int32_t document, jDEVICE device, const void* tileBlock, int reserved,
                   const void* setting);
  // Why the calling thread's last print did not print, in the failing
  // layer's words; 0 (text empty) after a print that printed.
  int (*lastError)(char* text, int size);
  // The machine's ink account as it stands now; how many inks, 0 for none.
  int (*machineInk)(const char* machine, InkEntry* inks, int count);
  // The job's title (32 bytes) and page area, from its device.
  int (*title)(jDEVICE device, char* title32);
  int (*area)(jDEVICE device, jPdevArea* area);
  // How the calling thread's last print printed (resolution, ink set, the
  // pages the port took); 0 before any print.
  int (*lastPrint)(jPrintReport* report);
  // What the job file is (J_DRX_*): whole, cut short, empty, beyond a page.
  int (*checkFile)(const char* path);
};

// The table in use: the drawing library's own unless a test replaced it.
const DrawCalls& drawCalls();
// Replaces the table (null: back to the library). For tests.
void useDrawCalls(const DrawCalls* calls);
// The drawing library's own table.
const DrawCalls& libraryDrawCalls();

}  // namespace vlx
