#include "libs/draw/devices.h"

#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

#include "platform/path.h"

namespace jdraw {
namespace {

std::mutex& devicesMutex() {
  static std::mutex mutex;
  return mutex;
}

std::unordered_set<jDEVICE>& liveDevices() {
  static std::unordered_set<jDEVICE> devices;
  return devices;
}

}  // namespace

jDEVICE newDevice(const char* machine, const void* settings, std::size_t size) {
  auto* device = new (std::nothrow) jDevice_{};
  if (!device) return nullptr;
  if (!platform::copyString(device->machine, sizeof device->machine, machine)) {
    delete device;
    return nullptr;
  }
  if (settings && size) {
    const auto* bytes = static_cast<const uint8_t*>(settings);
    device->settings.assign(bytes, bytes + size);
  }
  std::lock_guard<std::mutex> lock(devicesMutex());
  liveDevices().insert(device);
  return device;
}

jDEVICE newJobDevice(const jobfile::Job& job) {
  jDEVICE device = newDevice(job.machine.c_str(), job.settings.data(), job.settings.size());
  if (!device) return nullptr;
  std::lock_guard<std::mutex> lock(devicesMutex());
  device->fromJob = true;
  platform::copyTruncated(device->title, sizeof device->title, job.title.c_str());
  platform::copyTruncated(device->info, sizeof device->info, job.info.c_str());
  device->area = job.area;
  return device;
}

bool copyDevice(jDEVICE device, jDevice_* copy) {
  std::lock_guard<std::mutex> lock(devicesMutex());
  if (!device || liveDevices().count(device) == 0) return false;
  *copy = *device;
  return true;
}

bool isLiveDevice(jDEVICE device) {
  std::lock_guard<std::mutex> lock(devicesMutex());
  return device && liveDevices().count(device) != 0;
}

bool deviceMachine(jDEVICE device, char* machine64) {
  std::lock_guard<std::mutex> lock(devicesMutex());
  if (!machine64 || !device || liveDevices().count(device) == 0) return false;
  std::memcpy(machine64, device->machine, sizeof device->machine);
  return true;
}

}  // namespace jdraw

JDRAW_API jDEVICE jPdevOpen(void) {
  return jdraw::newDevice("", nullptr, 0);
}

JDRAW_API int jPdevClose(jDEVICE device) {
  {
    std::lock_guard<std::mutex> lock(jdraw::devicesMutex());
    if (!device || jdraw::liveDevices().erase(device) == 0) return 0;
  }
  delete device;
  return 1;
}
