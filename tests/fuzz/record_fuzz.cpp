// The record and state blocks of the settings file, decoded and encoded
// again: whatever was read, the block written back decodes to the same.
#include <cstring>
#include <vector>

#include "driver/machines/machine_state.h"
#include "driver/machines/record_codec.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(rx3::kRecordBytes + rx3::kStateBytes, 0);
  std::memcpy(bytes.data(), data, size < bytes.size() ? size : bytes.size());
  DeviceRecord record{};
  bool stateFollows = false;
  rx3::decodeRecord(bytes.data(), &record, &stateFollows);
  FUZZ_CHECK(record.state == nullptr);
  static MachineState state;
  std::memset(&state, 0, sizeof state);
  rx3::decodeState(bytes.data() + rx3::kRecordBytes, &state);
  FUZZ_CHECK(state.engine.separation == nullptr && state.engine.spoolHandle == nullptr);
  uint8_t again[rx3::kRecordBytes];
  rx3::encodeRecord(record, again);
  DeviceRecord second{};
  rx3::decodeRecord(again, &second, &stateFollows);
  FUZZ_CHECK(std::memcmp(&record, &second, sizeof record) == 0);
  return 0;
}
