#include "plugin_host.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Base.h"
#include "platform/file.h"
#include "platform/path.h"
#include "tests/support/counting_hooks.h"

namespace raster_test {
namespace {

#if defined(_WIN32)
constexpr const char* kPluginFile = "RX3.dll";
#else
constexpr const char* kPluginFile = "RX3.so";
#endif

std::vector<DeviceRecord> g_records;
int keep(DeviceRecord* record) {
  g_records.push_back(*record);
  return 1;
}

bool copyFile(const std::string& from, const std::string& to) {
  std::vector<char> bytes;
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) return false;
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(in);
  std::FILE* out = std::fopen(to.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written && !bytes.empty();
}

}  // namespace

std::string builtPluginPath() {
  char self[platform::kMaxPath];
  char folder[platform::kMaxPath];
  char path[platform::kMaxPath];
  if (!platform::moduleFileName(nullptr, self, sizeof self) || !platform::folderPart(self, folder, sizeof folder) ||
      !platform::joinPath(path, sizeof path, folder, kPluginFile))
    return std::string();
  return path;
}

std::string copyPluginInto(const std::string& folder) {
  char path[platform::kMaxPath];
  if (!platform::joinPath(path, sizeof path, folder.c_str(), kPluginFile)) return std::string();
  return copyFile(builtPluginPath(), path) ? std::string(path) : std::string();
}

PluginHost::PluginHost(const std::string& pluginPath) {
  library_ = platform::loadLibrary(pluginPath.c_str());
}

PluginHost::~PluginHost() {
  if (library_) platform::freeLibrary(library_);
}

PrintResult PluginHost::print(const Document& document, const std::string& outFolder) {
  PrintResult result;
  jOemSetText("");
  g_records.clear();
  get<jPrintEnumMachine_t>("jPrintEnumMachine")(keep);
  DeviceRecord record{};
  for (const DeviceRecord& r : g_records)
    if (std::strcmp(r.displayName, "EPSON RX-3") == 0) record = r;
  record.spoolMode = document.spoolMode;
  std::snprintf(record.outputFile, sizeof record.outputFile, "%s", document.outputFile.c_str());
  if (get<jPrintRecord_t>("jPrintOpenMachine")(&record) != 1) return result;
  const std::string port = "FILE:" + outFolder;
  get<jPrintSetDeviceName_t>("jPrintSetDeviceName")(&record, "test device", port.c_str());
  record.inchUnits = 1;

  const int32_t width = static_cast<int32_t>(std::lround(document.widthInches * 720));
  const int32_t height = static_cast<int32_t>(std::lround(document.heightInches * 720));
  jGdcScene scene{static_cast<int32_t>(document.items.size()), document.items.data()};
  jGdc drawing{};
  drawing.x1 = width - 1;
  drawing.y1 = height - 1;
  drawing.hasContent = 1;
  drawing.scene = &scene;
  jHostJobContext context{};
  std::snprintf(context.documentName, sizeof context.documentName, "end to end");
  context.device = &record;
  context.drawContext = &drawing;
  context.hooks = &testing_support::kCountingHooks;
  testing_support::g_progress = {};
  testing_support::g_progress.cancelAtYield = document.cancelAtYield;

  get<jPrintContext_t>("jPrintSetup")(&context);
  auto startPage = get<jPrintRect_t>("jPrintStartPage");
  auto drawPage = get<jPrintRect_t>("jPrintDrawPage");
  auto endPage = get<jPrintEndPage_t>("jPrintEndPage");
  result.startDoc = get<jPrintContext_t>("jPrintStartDoc")(&context);
  result.inkLimitAfterStart = get<jPrintGetCpf_t>("jPrintGetCpf")(&record).inkLimit;
  if (result.startDoc == 1) {
    for (int page = 0; page < document.pages; ++page) {
      result.startPage.push_back(startPage(&context, 0, 0, document.widthInches, document.heightInches));
      int go = 1;
      for (int band = 0; band < document.bands && go == 1; ++band) {
        const float top = document.heightInches * (document.bands - band) / document.bands;
        const float bottom = document.heightInches * (document.bands - band - 1) / document.bands;
        go = drawPage(&context, 0, bottom, document.widthInches, top);
        result.drawPage.push_back(go);
      }
      result.endPage.push_back(endPage(&context, go == 1 ? 0 : 1));
    }
  }
  result.endDoc = get<jPrintContext_t>("jPrintEndDoc")(&context);
  get<jPrintRecord_t>("jPrintCloseMachine")(&record);
  return result;
}

}  // namespace raster_test
