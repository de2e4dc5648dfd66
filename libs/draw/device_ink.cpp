// A machine's ink account as it stands, read through the plug-in that serves
// the machine: the queue compares a job's ink with it before a print and
// records what a print took from it.
#include <cstring>

#include "Draw.h"
#include "libs/draw/driver_plugins.h"
#include "libs/draw/printer_folder.h"
#include "platform/path.h"

JDRAW_API int jPdevGetInk(const char* machine, InkEntry* inks, int count) {
  if (!machine || !machine[0] || !inks || count <= 0) return 0;
  char printerFolder[platform::kMaxPath];
  if (!jdraw::currentPrinterFolder(printerFolder, sizeof printerFolder)) return 0;
  jdraw::DriverPlugin plugin;
  DeviceRecord record{};
  if (!jdraw::loadPluginForMachine(printerFolder, machine, &plugin, &record)) return 0;
  // The plug-in's account has a fixed number of inks; the caller's array may
  // be shorter.
  InkEntry all[16] = {};
  const int read = plugin.exports().loadInk(&record, all);
  if (read <= 0 || read > 16) return 0;
  const int kept = read < count ? read : count;
  std::memcpy(inks, all, sizeof(InkEntry) * static_cast<std::size_t>(kept));
  return kept;
}
