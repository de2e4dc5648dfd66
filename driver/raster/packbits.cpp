// PackBits as the printer's raster commands take it. The packer behaves as
// a three-state machine (a packet of one byte, a literal, a repeat): a new
// packet starts as one byte; an equal next byte makes it a run, a
// different one a literal; a run ends at a different byte or at 128
// bytes; a literal ends at 128 bytes, and when it meets a repeated byte
// its last byte becomes the start of a run, so two equal bytes are never
// left inside a literal.
#include "driver/raster/packbits.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace rx3 {
namespace {

constexpr int kMaxCount = 127;  // a packet holds at most 128 bytes
static_assert(std::endian::native == std::endian::little, "the eight-byte scans read little-endian words");

// A row read every `stride` bytes, or a contiguous one (Contiguous) whose
// scans look at eight bytes at once.
// The index of the lowest non-zero byte of a word that is not 0. On i386 a
// 64-bit count of trailing zeros is a library call, so it counts in halves.
inline int lowestByte(uint64_t word) {
  if constexpr (sizeof(void*) < 8) {
    const auto low = static_cast<uint32_t>(word);
    return low ? std::countr_zero(low) >> 3 : 4 + (std::countr_zero(static_cast<uint32_t>(word >> 32)) >> 3);
  }
  return std::countr_zero(word) >> 3;
}

template <bool Contiguous>
struct RowReader {
  const uint8_t* row;
  int stride;

  uint8_t at(int k) const { return Contiguous ? row[k] : row[static_cast<long>(k) * stride]; }

  // The first k in [from, limit) whose byte repeats the one before it
  // (from >= 1), else limit. Bytes are copied to out on the way.
  int literalEnd(int from, int limit, uint8_t* out) const {
    int k = from;
    if (Contiguous) {
      for (; k + 8 <= limit; k += 8) {
        uint64_t here, before;
        std::memcpy(&here, row + k, 8);
        std::memcpy(&before, row + k - 1, 8);
        const uint64_t same = equalBytes(here ^ before);
        if (same) {
          k += lowestByte(same);
          break;
        }
      }
      if (k + 8 > limit)
        while (k < limit && row[k] != row[k - 1]) ++k;
      std::memcpy(out, row + from, static_cast<size_t>(k - from));
      return k;
    }
    uint8_t previous = at(k - 1);
    while (k < limit) {
      const uint8_t byte = at(k);
      if (byte == previous) break;
      *out++ = byte;
      previous = byte;
      ++k;
    }
    return k;
  }

  // The first k in [from, limit) whose byte differs from value, else limit.
  int runEnd(int from, int limit, uint8_t value) const {
    int k = from;
    if (Contiguous) {
      const uint64_t spread = 0x0101010101010101ull * value;
      for (; k + 8 <= limit; k += 8) {
        uint64_t here;
        std::memcpy(&here, row + k, 8);
        if (here != spread) return k + lowestByte(here ^ spread);
      }
    }
    while (k < limit && at(k) == value) ++k;
    return k;
  }

  // A byte 0x80 where the byte of d is 0; exact for the lowest such byte,
  // which is all the scans use.
  static uint64_t equalBytes(uint64_t d) { return (d - 0x0101010101010101ull) & ~d & 0x8080808080808080ull; }
};

template <bool Contiguous>
int pack(const RowReader<Contiguous>& reader, int length, uint8_t* out) {
  // One scan per packet kind; the order of decisions is that of the state
  // machine above.
  int n = 0;
  int k = 0;
  while (k < length) {
    int header = n;
    uint8_t previous = reader.at(k++);
    out[n++] = 0;  // a single byte until more follow
    out[n++] = previous;
    if (k == length) break;

    int count = 1;
    if (reader.at(k) != previous) {
      // Literal: runs until a byte repeats or the packet is full (the
      // limit is checked once, not per byte).
      out[n++] = reader.at(k++);
      const int first = k;
      k = reader.literalEnd(first, std::min(length, k + kMaxCount - 1), out + n);
      n += k - first;
      count += k - first;
      previous = reader.at(k - 1);
      if (k == length || reader.at(k) != previous) {
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
    const int end = reader.runEnd(k, std::min(length, k + kMaxCount - count), previous);
    count += end - k;
    k = end;
    out[header] = static_cast<uint8_t>(256 - count);
  }
  return n;
}

}  // namespace

int packRow(const uint8_t* row, int stride, int length, uint8_t* out) {
  if (stride == 1) return pack(RowReader<true>{row, 1}, length, out);
  return pack(RowReader<false>{row, stride}, length, out);
}

void transposePlanes(const uint8_t* interleaved, int rowBytes, uint8_t* planar) {
  int k = 0;
  // Eight groups at a time: an 8 x 8 byte matrix (group by plane) turned
  // round by swapping ever smaller blocks across its diagonal.
  for (; k + 8 <= rowBytes; k += 8) {
    uint64_t w[8];
    std::memcpy(w, interleaved + static_cast<size_t>(k) * 8, sizeof w);
    for (int i = 0; i < 4; ++i) {
      const uint64_t t = ((w[i] >> 32) ^ w[i + 4]) & 0x00000000FFFFFFFFull;
      w[i] ^= t << 32;
      w[i + 4] ^= t;
    }
    for (int i : {0, 1, 4, 5}) {
      const uint64_t t = ((w[i] >> 16) ^ w[i + 2]) & 0x0000FFFF0000FFFFull;
      w[i] ^= t << 16;
      w[i + 2] ^= t;
    }
    for (int i = 0; i < 8; i += 2) {
      const uint64_t t = ((w[i] >> 8) ^ w[i + 1]) & 0x00FF00FF00FF00FFull;
      w[i] ^= t << 8;
      w[i + 1] ^= t;
    }
    for (int plane = 0; plane < 8; ++plane)
      std::memcpy(planar + static_cast<size_t>(plane) * rowBytes + k, &w[plane], 8);
  }
  for (; k < rowBytes; ++k)
    for (int plane = 0; plane < 8; ++plane)
      planar[static_cast<size_t>(plane) * rowBytes + k] = interleaved[static_cast<size_t>(k) * 8 + plane];
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
