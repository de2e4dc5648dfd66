// Accounts pages into the ink file of "EPSON RX-3" beside a given plug-in
// path, from a process of its own.
//
//   ink_page_helper <plug-in path> <pages> <picolitres per page of ink 1>
//
// Ink n receives n times the volume on every page. Exit status 0 when every
// page was accounted.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/ink/ink_account.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "driver/machines/machine_state.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: ink_page_helper <plug-in path> <pages> <volume>\n");
    return 2;
  }
  if (!rx3::attachDriver(argv[1])) return 3;
  int pages = std::atoi(argv[2]);
  unsigned long long volume = std::strtoull(argv[3], nullptr, 10);
  DeviceRecord record{};
  record.machineIndex = 2;
  std::strcpy(record.displayName, "EPSON RX-3");
  if (!jPrintOpenMachine(&record)) return 4;
  for (int i = 0; i < 8; ++i) record.state->engine.pageInk[i] = volume * static_cast<unsigned>(i + 1);
  int failures = 0;
  for (int page = 0; page < pages; ++page)
    if (accountInk(&record, record.state ? record.state->engine.pageInk : nullptr) != 1) ++failures;
  jPrintCloseMachine(&record);
  rx3::detachDriver();
  return failures ? 1 : 0;
}
