// The byte writer of the printer stream: single command bytes through
// jSplWrite_c and strings through jSplWrite_s, as the stream's frames are
// laid out; packed raster data goes out as one block through jSplWrite_buff.
#pragma once

#include <cstdint>

#include "SPOOL.h"

namespace rx3 {

inline void put8(jSPOOL spool, int byte) {
  jSplWrite_c(spool, byte & 0xFF);
}

inline void putLE16(jSPOOL spool, int value) {
  put8(spool, value);
  put8(spool, value >> 8);
}

inline void putLE32(jSPOOL spool, int32_t value) {
  putLE16(spool, value);
  putLE16(spool, value >> 16);
}

inline void putText(jSPOOL spool, const char* text) {
  jSplWrite_s(spool, text);
}

inline void putBytes(jSPOOL spool, const void* data, int length) {
  if (length > 0) jSplWrite_buff(spool, data, length);
}

// A remote-mode command: two letters, a 16-bit little-endian parameter
// length, then the parameters.
inline void putRemote(jSPOOL spool, const char* name, const uint8_t* parameters, int length) {
  put8(spool, name[0]);
  put8(spool, name[1]);
  putLE16(spool, length);
  for (int i = 0; i < length; ++i) put8(spool, parameters[i]);
}

}  // namespace rx3
