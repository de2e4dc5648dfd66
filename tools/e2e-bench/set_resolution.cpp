// Stores a machine's print resolution in the settings file of a printer
// folder, as the machine set-up does: the queue then prints the machine's
// jobs at it, unless a job carries settings of its own (jobs from job-maker
// carry none). The Wine end-to-end bench sets its resolution with it.
//
//   set-resolution <printer folder> <machine> <x dpi> <y dpi>
//
// Exit status 0 when stored, 2 (said why) when not.
#include <cstdio>
#include <cstdlib>

#include "driver/machines/machine_state.h"
#include "libs/draw/driver_plugins.h"

int main(int argc, char** argv) {
  const int x = argc == 5 ? std::atoi(argv[3]) : 0, y = argc == 5 ? std::atoi(argv[4]) : 0;
  if (x <= 0 || y <= 0) {
    std::fprintf(stderr, "usage: set-resolution <printer folder> <machine> <x dpi> <y dpi>\n");
    return 2;
  }
  jdraw::DriverPlugin plugin;
  DeviceRecord record{};
  if (!jdraw::loadPluginForMachine(argv[1], argv[2], &plugin, &record)) {
    std::fprintf(stderr, "set-resolution: no plug-in in %s offers %s\n", argv[1], argv[2]);
    return 2;
  }
  // The stored settings of the machine when there are any, so that only
  // the resolution changes.
  const jdraw::DriverExports& d = plugin.exports();
  if (d.loadMachine(&record) != 1 && d.openMachine(&record) != 1) {
    std::fprintf(stderr, "set-resolution: %s does not open\n", argv[2]);
    return 2;
  }
  record.xResolution = record.state->xResolution = x;
  record.yResolution = record.state->yResolution = y;
  const bool saved = d.saveMachine(&record) == 1;
  d.closeMachine(&record);
  if (!saved) {
    std::fprintf(stderr, "set-resolution: the settings of %s were not saved\n", argv[2]);
    return 2;
  }
  return 0;
}
