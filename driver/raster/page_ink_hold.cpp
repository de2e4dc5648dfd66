#include "driver/raster/page_ink_hold.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "driver/ink/ink_account.h"
#include "driver/machines/machine_state.h"

namespace rx3 {
namespace {

using Volumes = std::array<uint64_t, 8>;

std::mutex g_lock;
// Per open machine state; a record holds ink only between a page's end and
// its document's end.
std::map<const MachineState*, std::vector<Volumes>> g_held;

}  // namespace

void holdPageInk(const DeviceRecord* record) {
  if (!record || !record->state) return;
  const uint64_t* page = record->state->engine.pageInk;
  try {
    std::lock_guard<std::mutex> hold(g_lock);
    Volumes volumes;
    std::copy(page, page + volumes.size(), volumes.begin());
    g_held[record->state].push_back(volumes);
  } catch (...) {
    // No room to hold it: the page goes uncharged rather than failing.
  }
}

void settleHeldInk(DeviceRecord* record, bool taken) {
  if (!record || !record->state) return;
  std::vector<Volumes> held;
  {
    std::lock_guard<std::mutex> hold(g_lock);
    auto it = g_held.find(record->state);
    if (it == g_held.end()) return;
    held.swap(it->second);
    g_held.erase(it);
  }
  // Page by page, so that the account's last page is the document's last.
  if (taken)
    for (const Volumes& page : held) accountInk(record, page.data());
}

}  // namespace rx3
