// A scratch printer folder holding a copy of the built driver plug-in.
#pragma once

#include <string>

#include "platform/scratch_folder.h"

namespace draw_test {

// The built plug-in's file name beside the test program.
std::string builtPluginPath();
const char* pluginFileName();

class PluginFolder {
 public:
  PluginFolder();
  bool ready() const { return ready_; }
  const std::string& path() const { return folder_.path(); }
  std::string join(const std::string& name) const { return folder_.join(name); }

 private:
  testing_support::ScratchFolder folder_;
  bool ready_ = false;
};

}  // namespace draw_test
