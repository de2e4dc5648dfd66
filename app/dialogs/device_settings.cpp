#include "app/dialogs/device_settings.h"

#include <cstring>

namespace vlx {
namespace {

constexpr char kLumoraPrefix[] = "Lumora";

bool namedLumora(const jMcnEntry& entry) {
  return std::strncmp(entry.name, kLumoraPrefix, sizeof kLumoraPrefix - 1) == 0;
}

}  // namespace

bool machineOffered(const char* hostKeyword, const jMcnEntry& entry) {
  if (entry.usable != 1) return false;
  const char* keyword = hostKeyword ? hostKeyword : "";
  if (std::strcmp(keyword, "Quillet") == 0) return !namedLumora(entry);
  if (std::strcmp(keyword, "Tagwright") == 0) return namedLumora(entry);
  return true;
}

std::vector<int> offeredMachines(const jMcnTable* table, const char* hostKeyword) {
  std::vector<int> offered;
  if (!table) return offered;
  for (int i = 0; i < table->count; ++i) {
    jMcnEntry entry = table->entries[i];
    entry.name[sizeof entry.name - 1] = '\0';  // a name that fills its field still ends
    if (machineOffered(hostKeyword, entry)) offered.push_back(i);
  }
  return offered;
}

}  // namespace vlx
