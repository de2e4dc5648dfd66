// The row packer of the raster commands (TIFF PackBits) and the padding
// that makes a row that grew in packing unpack to its declared length.
#pragma once

#include <cstdint>

namespace rx3 {

// Packs length bytes taken every `stride` bytes from row into out, which
// must hold 2 x length bytes. Returns the packed length N.
int packRow(const uint8_t* row, int stride, int length, uint8_t* out);

// Turns the interleaved dot planes of a line (byte k of plane j at k x 8 +
// j) into eight contiguous plane rows (plane j at j x rowBytes), which pack
// faster than strided ones.
void transposePlanes(const uint8_t* interleaved, int rowBytes, uint8_t* planar);

// Largest packed length of a row of `length` bytes: a single literal byte
// costs two, but is always followed by a run of at least two that costs two.
constexpr int maxPackedLength(int length) {
  return length + (length + 2) / 3 + 1;
}

// One pad packet of zero bytes for `remaining` (> 0) bytes still to pad;
// writes its two bytes and returns how many zero bytes it unpacks to.
int padPacket(int remaining, uint8_t packet[2]);

}  // namespace rx3
