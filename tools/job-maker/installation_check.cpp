#include "installation_check.h"

#include <cstdio>
#include <set>
#include <vector>

#include "platform/file.h"
#include "platform/path.h"

namespace jobmaker {
namespace {

struct Paper {
  const char* machine;
  float widestMm;
};

// The roll widths the models take (24, 44 and 64 inches).
constexpr Paper kPapers[] = {
    {"EPSON RX-1", 610}, {"EPSON RX-2", 1118}, {"EPSON RX-3", 1626},
    {"LumoraLX1", 610},  {"LumoraLX2", 1118},  {"LumoraLX3", 1626},
};
constexpr float kUnknownModelMm = 1626;

// The machines the registry's DEVICE lines name (tab-separated: DEVICE,
// device, plug-in, machine, port).
bool installedMachines(const std::string& registry, std::set<std::string>* machines) {
  static char text[256 * 1024];
  std::size_t length = 0;
  if (!platform::readWholeFile(registry.c_str(), text, sizeof text, &length)) return false;
  std::string all(text, length);
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    for (std::size_t at = 0;;) {
      const std::size_t tab = line.find('\t', at);
      fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
      if (tab == std::string::npos) break;
      at = tab + 1;
    }
    if (fields.size() >= 5 && fields[0] == "DEVICE") machines->insert(fields[3]);
    start = end + 1;
  }
  return true;
}

std::string millimetres(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f mm", value);
  return text;
}

}  // namespace

float widestPaperMm(const std::string& machine) {
  for (const Paper& p : kPapers)
    if (machine == p.machine) return p.widestMm;
  return kUnknownModelMm;
}

bool checkAgainstInstallation(const std::string& hotFolder, const std::string& machine, float widthMm, float heightMm,
                              std::string* error) {
  char installation[platform::kMaxPath], printer[platform::kMaxPath], registry[platform::kMaxPath];
  std::string folder = hotFolder;
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  if (!platform::folderPart(folder.c_str(), installation, sizeof installation) ||
      !platform::joinPath(printer, sizeof printer, installation, "printer") ||
      !platform::joinPath(registry, sizeof registry, printer, "DEVICE.rgs")) {
    *error = "the hot folder's path is too long";
    return false;
  }
  std::set<std::string> machines;
  if (!installedMachines(registry, &machines)) {
    *error = std::string("cannot read the installation's device registry ") + registry +
             ": the hot folder must be the HotFolder of an installation";
    return false;
  }
  if (!machines.count(machine)) {
    std::string known;
    for (const std::string& m : machines) known += (known.empty() ? "" : ", ") + ("\"" + m + "\"");
    *error = "the machine \"" + machine + "\" is not installed here; installed: " + (known.empty() ? "none" : known);
    return false;
  }
  const float widest = widestPaperMm(machine);
  if (widthMm > widest) {
    *error =
        "the page is " + millimetres(widthMm) + " wide; the widest paper of " + machine + " is " + millimetres(widest);
    return false;
  }
  if (heightMm > kLongestPageMm) {
    *error = "the page is " + millimetres(heightMm) + " long; the longest page is " + millimetres(kLongestPageMm);
    return false;
  }
  return true;
}

}  // namespace jobmaker
