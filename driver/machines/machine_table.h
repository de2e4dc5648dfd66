// The machines this plug-in drives: the fixed model rows and the machine
// table built from them at load time, with each row's paper list.
#pragma once

#include <cstdint>

#include "Device.h"

namespace rx3 {

struct Resolution {
  int32_t x;  // dots per inch; 0 ends the list
  int32_t y;
};

struct MachineInfo {
  char displayName[64];
  int32_t index;              // the row's own position
  int32_t defaultResolution;  // index into resolutions used at enumeration
  Resolution resolutions[4];
  char cpfName[32];  // base name of the paper-profile files
  ColorProfile profiles[J_MAX_PROFILES];
  int32_t profileCount;
};

struct MachineTable {
  MachineInfo* rows;
  int count;
};

constexpr int kMachineCount = 6;

// A row is of the Lumora line when its name starts with that line's letter.
bool isLumoraRow(const MachineInfo& row);

// Allocates the table (jMemAlloc) and fills each row, loading the papers of
// ink set 0 from "<driverFolder><sep><cpfName>0". False when memory fails.
bool buildMachineTable(MachineTable* table, const char* driverFolder);
void freeMachineTable(MachineTable* table);

// Path of a row's paper-profile file for an ink set (0 or 1); false when it
// does not fit.
bool profileFilePath(char* out, const char* driverFolder, const MachineInfo& row, int inkSet);

}  // namespace rx3
