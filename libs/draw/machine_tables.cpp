// Machine tables across the installed driver plug-ins, and the set-up of one
// machine (its settings, its ink account) through its plug-in's own dialogs.
//
// A table lists, in plug-in file order and then in each plug-in's
// enumeration order, every machine the plug-ins offer this host; a name
// offered by two plug-ins is listed once (the first serves it). Tables are
// jMemAlloc blocks that this library hands out and takes back; a pointer it
// did not hand out is refused by jPdevMcnClose, never freed.
#include <cstring>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "Base.h"
#include "Draw.h"
#include "libs/draw/driver_plugins.h"
#include "libs/draw/printer_folder.h"
#include "platform/path.h"

namespace {

std::mutex& tablesMutex() {
  static std::mutex mutex;
  return mutex;
}

std::unordered_set<jMcnTable*>& liveTables() {
  static std::unordered_set<jMcnTable*> tables;
  return tables;
}

std::vector<jMcnEntry> collectMachines(const char* printerFolder) {
  std::vector<jMcnEntry> entries;
  jdraw::DriverPlugin plugin;
  for (const std::string& file : jdraw::driverPluginFiles(printerFolder)) {
    if (!plugin.load(file.c_str())) continue;
    for (const DeviceRecord& record : plugin.machines()) {
      jMcnEntry entry{};
      platform::copyTruncated(entry.name, sizeof entry.name, record.displayName);
      entry.usable = 1;
      bool known = false;
      for (const jMcnEntry& e : entries) known = known || std::strcmp(e.name, entry.name) == 0;
      if (!known) entries.push_back(entry);
    }
    plugin.unload();
  }
  return entries;
}

// Runs use over the machine opened with its stored settings (a fresh record
// when none are stored) and closes it; 0 when no plug-in serves the entry.
template <typename Use>
int withOpenMachine(const char* printerFolder, const jMcnEntry* entry, Use use) {
  if (!printerFolder || !entry) return 0;
  char machine[sizeof entry->name + 1] = {};
  std::memcpy(machine, entry->name, sizeof entry->name);
  jdraw::DriverPlugin plugin;
  DeviceRecord record{};
  if (!jdraw::loadPluginForMachine(printerFolder, machine, &plugin, &record)) return 0;
  const jdraw::DriverExports& driver = plugin.exports();
  if (driver.loadMachine(&record) != 1 && driver.openMachine(&record) != 1) return 0;
  const int result = use(driver, &record);
  driver.closeMachine(&record);
  return result;
}

}  // namespace

JDRAW_API jMcnTable* jPdevMcnOpen(const char* printerFolder, int) {
  if (!printerFolder || !printerFolder[0]) return nullptr;
  jdraw::rememberPrinterFolder(printerFolder);
  const std::vector<jMcnEntry> entries = collectMachines(printerFolder);
  if (entries.empty()) return nullptr;
  const std::size_t bytes = offsetof(jMcnTable, entries) + entries.size() * sizeof(jMcnEntry);
  auto* table = static_cast<jMcnTable*>(jMemAlloc(bytes));
  if (!table) return nullptr;
  table->count = static_cast<int32_t>(entries.size());
  std::memcpy(table->entries, entries.data(), entries.size() * sizeof(jMcnEntry));
  std::lock_guard<std::mutex> lock(tablesMutex());
  liveTables().insert(table);
  return table;
}

JDRAW_API int jPdevMcnClose(jMcnTable* table) {
  {
    std::lock_guard<std::mutex> lock(tablesMutex());
    if (!table || liveTables().erase(table) == 0) return 0;
  }
  jMemFree(table);
  return 1;
}

// The plug-in's set-up dialog; what was confirmed is stored. 1 when the
// user confirmed and the settings were stored.
JDRAW_API int jPdevMcnSetup(const char* printerFolder, const jMcnEntry* entry, jHWND owner) {
  return withOpenMachine(printerFolder, entry, [owner](const jdraw::DriverExports& driver, DeviceRecord* record) {
    return driver.setupMachine(record, owner) == 1 && driver.saveMachine(record) == 1 ? 1 : 0;
  });
}

// The plug-in loads, shows and saves the account itself, under its own lock.
JDRAW_API int jPdevMcnSetupInk(const char* printerFolder, const jMcnEntry* entry, jHWND owner) {
  return withOpenMachine(printerFolder, entry, [owner](const jdraw::DriverExports& driver, DeviceRecord* record) {
    return driver.setupInk(record, owner) == 1 ? 1 : 0;
  });
}
