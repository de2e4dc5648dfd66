// The row packer as the plain three-state machine, one byte per step, to
// hold the packer to exactly the same packets.
#include "packbits_reference.h"

namespace raster_test {
namespace {

enum class Packet { kSingle, kLiteral, kRepeat };

constexpr int kMaxCount = 127;

}  // namespace

int referencePackRow(const uint8_t* row, int stride, int length, uint8_t* out) {
  if (length <= 0) return 0;
  int n = 0;
  int header = 0;
  int count = 0;
  uint8_t previous = 0;
  Packet state = Packet::kSingle;

  auto start = [&](uint8_t byte) {
    header = n;
    out[n++] = 0;
    out[n++] = byte;
    count = 0;
    state = Packet::kSingle;
    previous = byte;
  };

  start(row[0]);
  for (int k = 1; k < length; ++k) {
    const uint8_t byte = row[static_cast<long>(k) * stride];
    switch (state) {
      case Packet::kSingle:
        if (byte == previous) {
          count = 1;
          state = Packet::kRepeat;
        } else {
          out[n++] = byte;
          count = 1;
          state = Packet::kLiteral;
          previous = byte;
        }
        break;
      case Packet::kRepeat:
        if (byte == previous && count < kMaxCount) {
          ++count;
        } else {
          out[header] = static_cast<uint8_t>(256 - count);
          start(byte);
        }
        break;
      case Packet::kLiteral:
        if (byte == previous) {
          // The literal's last byte (at n - 1) turns into the header of a
          // run of two.
          out[header] = static_cast<uint8_t>(count - 1);
          header = n - 1;
          out[header] = 0;
          out[n++] = previous;
          count = 1;
          state = Packet::kRepeat;
        } else if (count >= kMaxCount) {
          out[header] = static_cast<uint8_t>(count);
          start(byte);
        } else {
          out[n++] = byte;
          ++count;
          previous = byte;
        }
        break;
    }
  }
  if (state == Packet::kRepeat) out[header] = static_cast<uint8_t>(256 - count);
  if (state == Packet::kLiteral) out[header] = static_cast<uint8_t>(count);
  return n;
}

}  // namespace raster_test
