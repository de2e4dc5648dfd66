#include "plugin_folder.h"

#include "platform/module.h"
#include "platform/path.h"

namespace draw_test {

const char* pluginFileName() {
#if defined(_WIN32)
  return "RX3.dll";
#else
  return "RX3.so";
#endif
}

std::string builtPluginPath() {
  char self[platform::kMaxPath];
  char folder[platform::kMaxPath];
  char path[platform::kMaxPath];
  if (!platform::moduleFileName(nullptr, self, sizeof self) || !platform::folderPart(self, folder, sizeof folder) ||
      !platform::joinPath(path, sizeof path, folder, pluginFileName()))
    return std::string();
  return path;
}

PluginFolder::PluginFolder() {
  const std::string plugin = testing_support::readBytes(builtPluginPath());
  ready_ = !plugin.empty() && testing_support::writeBytes(folder_.join(pluginFileName()), plugin);
}

}  // namespace draw_test
