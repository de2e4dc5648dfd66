// The device-setting block of a job: what the host chose for the job's
// output, handed back unchanged to jPdevGetDevicePort and jPdevPrint.
//
// Layout (ours), little-endian:
//   0    "VDSB"
//   4    uint32 version (1)
//   8    uint32 flags; bit 0: a machine-settings image follows
//   12   char[100] preferred virtual device (may be empty)
//   112  the machine's settings as its driver keeps them in an open
//        record's state, 1992 bytes (only with flag bit 0)
// Without an image the machine prints with the settings stored for it in
// the printer folder (the machine set-up), else with its defaults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace jdraw {

constexpr std::size_t kSettingHeadBytes = 112;
constexpr std::size_t kMachineSettingsBytes = 1992;
constexpr std::size_t kDeviceNameBytes = 100;

struct SettingBlock {
  char device[kDeviceNameBytes] = {};
  bool hasSettings = false;
  uint8_t settings[kMachineSettingsBytes] = {};
};

// The block's bytes; false when the device name does not fit.
bool encodeSettingBlock(const SettingBlock& block, std::vector<uint8_t>* out);
// Reads a block of known size; false when it is not a setting block.
bool decodeSettingBlock(const void* data, std::size_t size, SettingBlock* block);
// Reads a block whose size the caller does not know (a block handed back by
// the host): the head tells how much follows.
bool decodeHandedBlock(const void* data, SettingBlock* block);

}  // namespace jdraw
