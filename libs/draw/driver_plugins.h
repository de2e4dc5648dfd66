// Printer-driver plug-ins of a printer folder: which files they are, loading
// one and resolving its jPrint exports into a table, enumerating its
// machines, and finding the plug-in that serves a machine name.
#pragma once

#include <string>
#include <vector>

#include "PrintDriver.h"
#include "platform/module.h"

namespace jdraw {

// Every export the printing-device layer calls; a plug-in lacking one of
// them is not loaded, except those marked optional (null when missing).
struct DriverExports {
  jPrintEnumMachine_t enumMachine;
  jPrintRecord_t openMachine;
  jPrintRecord_t closeMachine;
  jPrintRecord_t saveMachine;
  jPrintRecord_t loadMachine;
  jPrintGetDeviceName_t getDeviceName;
  jPrintSetDeviceName_t setDeviceName;
  jPrintGetCpf_t getCpf;
  jPrintSetCpf_t setCpf;
  jPrintSetupWindow_t setupMachine;
  jPrintContext_t setup;
  jPrintCmsSetup_t cmsSetup;
  jPrintContext_t startDoc;
  jPrintRect_t startPage;
  jPrintRect_t drawPage;
  jPrintEndPage_t endPage;
  jPrintContext_t endDoc;
  jPrintInk_t loadInk;
  jPrintInk_t saveInk;
  jPrintSetupWindow_t setupInk;
  // Optional, our additions (PrintDriver.h).
  jPrintSetSettings_t setSettings;
  jPrintGetInkSetName_t inkSetName;
  jPrintRecord_t beginDryRun;
  jPrintRecord_t endDryRun;
  jPrintGetPageDots_t pageDots;
};

// The file names plug-ins have on this platform ("*.dll" on Windows, the
// shared objects of the native build elsewhere), in name order.
std::vector<std::string> driverPluginFiles(const char* printerFolder);

// One loaded plug-in; unloaded by unload() or the destructor.
class DriverPlugin {
 public:
  DriverPlugin() = default;
  ~DriverPlugin() { unload(); }
  DriverPlugin(const DriverPlugin&) = delete;
  DriverPlugin& operator=(const DriverPlugin&) = delete;

  // Loads the file and resolves every export; false (nothing kept loaded)
  // when the file does not load or is not a driver plug-in.
  bool load(const char* path);
  void unload();
  bool loaded() const { return library_ != nullptr; }
  const DriverExports& exports() const { return exports_; }

  // The machines the plug-in offers to this host (it filters by the host
  // keyword), as enumerated records.
  std::vector<DeviceRecord> machines() const;
  // The enumerated record of a machine (exact display name); false when
  // the plug-in does not offer it.
  bool findMachine(const char* machine, DeviceRecord* record) const;

 private:
  platform::Library library_ = nullptr;
  DriverExports exports_{};
};

// Loads the first plug-in of the folder that offers the machine and gives
// its enumerated record; false (plugin left unloaded) when none does.
bool loadPluginForMachine(const char* printerFolder, const char* machine, DriverPlugin* plugin, DeviceRecord* record);

}  // namespace jdraw
