#include "libs/draw/setting_block.h"

#include <cstring>

#include "platform/path.h"

namespace jdraw {
namespace {

constexpr char kMagic[4] = {'V', 'D', 'S', 'B'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kHasSettings = 1;

uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// The size the head announces, 0 when it is not a block of ours.
std::size_t announcedSize(const uint8_t* head) {
  if (std::memcmp(head, kMagic, sizeof kMagic) != 0 || get32(head + 4) != kVersion) return 0;
  const uint32_t flags = get32(head + 8);
  if (flags & ~kHasSettings) return 0;
  return kSettingHeadBytes + ((flags & kHasSettings) ? kMachineSettingsBytes : 0);
}

}  // namespace

bool encodeSettingBlock(const SettingBlock& block, std::vector<uint8_t>* out) {
  if (!std::memchr(block.device, '\0', sizeof block.device)) return false;
  out->assign(kSettingHeadBytes + (block.hasSettings ? kMachineSettingsBytes : 0), 0);
  std::memcpy(out->data(), kMagic, sizeof kMagic);
  put32(out->data() + 4, kVersion);
  put32(out->data() + 8, block.hasSettings ? kHasSettings : 0);
  std::memcpy(out->data() + 12, block.device, sizeof block.device);
  if (block.hasSettings) std::memcpy(out->data() + kSettingHeadBytes, block.settings, kMachineSettingsBytes);
  return true;
}

bool decodeSettingBlock(const void* data, std::size_t size, SettingBlock* block) {
  const auto* p = static_cast<const uint8_t*>(data);
  if (!p || size < kSettingHeadBytes || announcedSize(p) != size) return false;
  return decodeHandedBlock(data, block);
}

bool decodeHandedBlock(const void* data, SettingBlock* block) {
  const auto* p = static_cast<const uint8_t*>(data);
  *block = SettingBlock{};
  if (!p || announcedSize(p) == 0) return false;
  char device[kDeviceNameBytes + 1] = {};
  std::memcpy(device, p + 12, kDeviceNameBytes);
  platform::copyTruncated(block->device, sizeof block->device, device);
  block->hasSettings = (get32(p + 8) & kHasSettings) != 0;
  if (block->hasSettings) std::memcpy(block->settings, p + kSettingHeadBytes, kMachineSettingsBytes);
  return true;
}

}  // namespace jdraw
