// Load and unload of the plug-in as a shared object. The same objects are
// also linked straight into native test programs, which attach the driver
// themselves with a path of their choosing: the constructor attaches only
// when it runs inside a shared object, not inside the program.
#include <cstring>

#include "driver/machines/driver_module.h"
#include "platform/module.h"
#include "platform/path.h"

namespace {

char anchor;

__attribute__((constructor)) void loadPlugin() {
  char self[platform::kMaxPath];
  char program[platform::kMaxPath];
  if (!platform::moduleFileName(&anchor, self, sizeof self)) return;
  if (platform::moduleFileName(nullptr, program, sizeof program) && std::strcmp(self, program) == 0) return;
  rx3::attachDriver(self);
}

__attribute__((destructor)) void unloadPlugin() {
  rx3::detachDriver();
}

}  // namespace
