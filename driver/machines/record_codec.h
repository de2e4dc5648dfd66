// Explicit serializers of the settings file's two blocks: the 612-byte
// machine record and the 2196-byte machine state, little-endian, field by
// field, as they lie on the 32-bit build. References and handles are never
// stored: the state reference becomes a 0/1 presence flag and the engine's
// pointers and handles are written as 0 and read back as null.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/machines/machine_state.h"

namespace rx3 {

constexpr std::size_t kRecordBytes = 612;
constexpr std::size_t kStateBytes = 2196;
constexpr std::size_t kRecordStateFlagOffset = 344;

void encodeRecord(const DeviceRecord& record, uint8_t out[kRecordBytes]);
// Fills every field but state (left null); stateFollows receives the stored
// presence flag. Text fields are forced to end in a NUL.
void decodeRecord(const uint8_t in[kRecordBytes], DeviceRecord* record, bool* stateFollows);

void encodeState(const MachineState& state, uint8_t out[kStateBytes]);
// Settings and the engine's plain values; its pointers and handles stay null.
void decodeState(const uint8_t in[kStateBytes], MachineState* state);

}  // namespace rx3
