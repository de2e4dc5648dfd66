// A host that loads the plug-in by file name, as the printing-device layer
// does, and prints a document of placed items through its exports to a file
// port: enumerate, open, name the port, set up, then per page start, bands,
// end, and finally end the document.
#pragma once

#include <string>
#include <vector>

#include "Device.h"
#include "PrintDriver.h"
#include "platform/module.h"

namespace raster_test {

// The built plug-in's file name beside the test programs.
std::string builtPluginPath();
// Copies the built plug-in into folder; the copy's path, empty on failure.
std::string copyPluginInto(const std::string& folder);

struct Document {
  std::vector<jGdcItem> items;  // in dots at 720 dpi
  float widthInches = 1.0f;
  float heightInches = 0.5f;
  int pages = 1;
  int bands = 2;           // bands per page, top to bottom
  int cancelAtYield = 0;   // the n-th yield answers 0 (0 = never)
  int spoolMode = 0;       // the record's spool mode at open
  std::string outputFile;  // the record's spool file name
};

struct PrintResult {
  int startDoc = -1;
  std::vector<int> startPage, drawPage, endPage;
  int endDoc = -1;
  int inkLimitAfterStart = -1;  // the profile's ink limit once the document started
};

class PluginHost {
 public:
  explicit PluginHost(const std::string& pluginPath);
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  bool loaded() const { return library_ != nullptr; }
  // Prints the document to "FILE:<outFolder>" on "EPSON RX-3" at 720 dpi.
  PrintResult print(const Document& document, const std::string& outFolder);

 private:
  template <typename F>
  F get(const char* name) const {
    return reinterpret_cast<F>(platform::librarySymbol(library_, name));
  }
  platform::Library library_ = nullptr;
};

}  // namespace raster_test
