// Printer-driver plug-ins. A plug-in is any library file of the printer
// folder that exports the whole jPrint interface; its machines are what its
// own enumeration offers, so the host keyword filter is the plug-in's.
#include "libs/draw/driver_plugins.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "platform/folders.h"
#include "platform/path.h"

namespace jdraw {
namespace {

#if defined(_WIN32)
constexpr const char* kPluginSuffix = ".dll";
#else
constexpr const char* kPluginSuffix = ".so";
#endif

// Enumeration hands records to a plain callback; the list it fills belongs
// to the enumerating thread.
thread_local std::vector<DeviceRecord>* t_enumerated = nullptr;

int keepRecord(DeviceRecord* record) {
  if (t_enumerated && record) t_enumerated->push_back(*record);
  return 1;
}

}  // namespace

std::vector<std::string> driverPluginFiles(const char* printerFolder) {
  std::vector<std::string> files;
  if (!printerFolder || !printerFolder[0]) return files;
  platform::listFolder(printerFolder, [&](const platform::FolderEntry& entry) {
    char path[platform::kMaxPath];
    if (!entry.isDirectory && platform::endsWithNoCase(entry.name, kPluginSuffix) &&
        platform::joinPath(path, sizeof path, printerFolder, entry.name))
      files.emplace_back(path);
    return true;
  });
  std::sort(files.begin(), files.end());
  return files;
}

bool DriverPlugin::load(const char* path) {
  unload();
  library_ = platform::loadLibrary(path);
  if (!library_) return false;
  auto resolve = [this](const char* name) { return platform::librarySymbol(library_, name); };
  bool complete = true;
  auto take = [&](auto& slot, const char* name) {
    void* address = resolve(name);
    complete = complete && address != nullptr;
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(address);
  };
  DriverExports& e = exports_;
  take(e.enumMachine, "jPrintEnumMachine");
  take(e.openMachine, "jPrintOpenMachine");
  take(e.closeMachine, "jPrintCloseMachine");
  take(e.saveMachine, "jPrintSaveMachine");
  take(e.loadMachine, "jPrintLoadMachine");
  take(e.getDeviceName, "jPrintGetDeviceName");
  take(e.setDeviceName, "jPrintSetDeviceName");
  take(e.getCpf, "jPrintGetCpf");
  take(e.setCpf, "jPrintSetCpf");
  take(e.setupMachine, "jPrintSetupMachine");
  take(e.setup, "jPrintSetup");
  take(e.cmsSetup, "jPrintCmsSetup");
  take(e.startDoc, "jPrintStartDoc");
  take(e.startPage, "jPrintStartPage");
  take(e.drawPage, "jPrintDrawPage");
  take(e.endPage, "jPrintEndPage");
  take(e.endDoc, "jPrintEndDoc");
  take(e.loadInk, "jPrintLoadInk");
  take(e.saveInk, "jPrintSaveInk");
  take(e.setupInk, "jPrintSetupInk");
  if (!complete) {
    unload();
    return false;
  }
  auto optional = [&](auto& slot, const char* name) {
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(resolve(name));
  };
  optional(e.setSettings, "jPrintSetSettings");
  optional(e.inkSetName, "jPrintGetInkSetName");
  optional(e.beginDryRun, "jPrintBeginDryRun");
  optional(e.endDryRun, "jPrintEndDryRun");
  optional(e.pageDots, "jPrintGetPageDots");
  return true;
}

void DriverPlugin::unload() {
  if (library_) platform::freeLibrary(library_);
  library_ = nullptr;
  exports_ = DriverExports{};
}

std::vector<DeviceRecord> DriverPlugin::machines() const {
  std::vector<DeviceRecord> records;
  if (!library_) return records;
  std::vector<DeviceRecord>* outer = t_enumerated;
  t_enumerated = &records;
  exports_.enumMachine(keepRecord);
  t_enumerated = outer;
  return records;
}

bool DriverPlugin::findMachine(const char* machine, DeviceRecord* record) const {
  if (!machine || !machine[0]) return false;
  for (const DeviceRecord& r : machines()) {
    if (std::strncmp(r.displayName, machine, sizeof r.displayName) == 0) {
      *record = r;
      return true;
    }
  }
  return false;
}

bool loadPluginForMachine(const char* printerFolder, const char* machine, DriverPlugin* plugin, DeviceRecord* record) {
  for (const std::string& file : driverPluginFiles(printerFolder)) {
    if (plugin->load(file.c_str()) && plugin->findMachine(machine, record)) return true;
  }
  plugin->unload();
  return false;
}

}  // namespace jdraw
