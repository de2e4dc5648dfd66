// The six models, as data; everything else about a row comes from its
// paper-profile files.
#include "driver/machines/machine_table.h"

#include <cstdio>
#include <cstring>

#include "Base.h"
#include "platform/path.h"

namespace rx3 {
namespace {

struct ModelRow {
  const char* displayName;
  const char* cpfName;
};

constexpr ModelRow kModels[kMachineCount] = {
    {"EPSON RX-1", "RX1.cpf"}, {"EPSON RX-2", "RX2.cpf"}, {"EPSON RX-3", "RX3.cpf"},
    {"LumoraLX1", "LX1.cpf"},  {"LumoraLX2", "LX2.cpf"},  {"LumoraLX3", "LX3.cpf"},
};

constexpr Resolution kResolutions[4] = {{720, 720}, {1440, 720}, {1440, 1440}, {0, 0}};

// The Lumora line's initial.
constexpr char kLumoraInitial = 'L';

}  // namespace

bool isLumoraRow(const MachineInfo& row) {
  return row.displayName[0] == kLumoraInitial;
}

bool profileFilePath(char* out, const char* driverFolder, const MachineInfo& row, int inkSet) {
  char name[40];
  std::snprintf(name, sizeof name, "%s%d", row.cpfName, inkSet);
  return platform::joinPath(out, platform::kMaxPath, driverFolder, name);
}

bool buildMachineTable(MachineTable* table, const char* driverFolder) {
  table->rows = static_cast<MachineInfo*>(jMemAlloc(sizeof(MachineInfo) * kMachineCount));
  table->count = 0;
  if (!table->rows) return false;
  for (int i = 0; i < kMachineCount; ++i) {
    MachineInfo& row = table->rows[i];
    std::memset(&row, 0, sizeof row);
    platform::copyTruncated(row.displayName, sizeof row.displayName, kModels[i].displayName);
    platform::copyTruncated(row.cpfName, sizeof row.cpfName, kModels[i].cpfName);
    row.index = i;
    row.defaultResolution = 0;
    std::memcpy(row.resolutions, kResolutions, sizeof kResolutions);
    for (ColorProfile& profile : row.profiles) jColorProfileInit(&profile);
    char path[platform::kMaxPath];
    row.profileCount =
        profileFilePath(path, driverFolder, row, 0) ? jColorLoadProfiles(path, row.profiles, J_MAX_PROFILES) : 0;
    if (row.profileCount < 0 || row.profileCount > J_MAX_PROFILES) row.profileCount = 0;
  }
  table->count = kMachineCount;
  return true;
}

void freeMachineTable(MachineTable* table) {
  if (table->rows) jMemFree(table->rows);
  table->rows = nullptr;
  table->count = 0;
}

}  // namespace rx3
