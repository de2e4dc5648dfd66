// PackBits as the printer's raster commands take it. The packer behaves as
// a three-state machine (a packet of one byte, a literal, a repeat): a new
// packet starts as one byte; an equal next byte makes it a run, a
// different one a literal; a run ends at a different byte or at 128
// bytes; a literal ends at 128 bytes, and when it meets a repeated byte
// its last byte becomes the start of a run, so two equal bytes are never
// left inside a literal.
#include "driver/raster/packbits.h"

#include <algorithm>

namespace rx3 {
namespace {

constexpr int kMaxCount = 127;  // a packet holds at most 128 bytes

}  // namespace

int packRow(const uint8_t* row, int stride, int length, uint8_t* out) {
  // One loop per packet kind, so a long literal or run costs one compare
  // per byte; the order of decisions is that of the state machine above.
  auto at = [row, stride](int k) { return row[static_cast<long>(k) * stride]; };
  int n = 0;
  int k = 0;
  while (k < length) {
    int header = n;
    uint8_t previous = at(k++);
    out[n++] = 0;  // a single byte until more follow
    out[n++] = previous;
    if (k == length) break;

    int count = 1;
    if (at(k) != previous) {
      // Literal: runs until a byte repeats or the packet is full (the
      // limit is checked once, not per byte).
      previous = at(k++);
      out[n++] = previous;
      const int first = k;
      const int limit = std::min(length, k + kMaxCount - 1);
      while (k < limit) {
        const uint8_t byte = at(k);
        if (byte == previous) break;
        out[n++] = byte;
        previous = byte;
        ++k;
      }
      count += k - first;
      if (k == length || at(k) != previous) {
        out[header] = static_cast<uint8_t>(count);
        continue;
      }
      // The literal's last byte (at n - 1) turns into the header of a run.
      out[header] = static_cast<uint8_t>(count - 1);
      header = n - 1;
      out[header] = 0;
      out[n++] = previous;
      count = 1;
    }
    // Run: the byte at k equals the previous one.
    ++k;
    while (k < length && count < kMaxCount && at(k) == previous) {
      ++count;
      ++k;
    }
    out[header] = static_cast<uint8_t>(256 - count);
  }
  return n;
}

int padPacket(int remaining, uint8_t packet[2]) {
  packet[1] = 0;
  if (remaining >= 127) {
    packet[0] = 0x83;  // 126 zero bytes
    return 126;
  }
  if (remaining == 1) {
    packet[0] = 0x00;  // one literal zero
    return 1;
  }
  packet[0] = static_cast<uint8_t>(257 - remaining);
  return remaining;
}

}  // namespace rx3
