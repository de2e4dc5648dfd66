// Decoder of the printer byte stream that RX3 writes: the preamble, EJL
// lines, remote-mode blocks, ESC commands, raster rows and paper moves.
// Strict: a malformed or truncated item is reported with its offset, and
// nothing is ever read past the end of the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace escp {

enum class FrameKind {
  kPreamble,        // a run of 0x11 bytes
  kExitPacketMode,  // 00 00 00 1B 01
  kEjlLine,         // "@EJL ..." up to LF
  kRemoteEnter,     // ESC ( R ... "REMOTE1"
  kRemoteCommand,   // two letters, 16-bit length, parameters
  kRemoteExit,      // ESC 00 00 00
  kEscCommand,      // ESC @, ESC U, ESC ( x with a 16-bit length
  kRasterRow,       // ESC i with its packed data
  kVerticalMove,    // ESC ( v
  kCarriageReturn,  // 0D
  kFormFeed,        // 0C: end of a page
};

// A place in a stream. A print file can be longer than a 32-bit program's
// address space (a 10 m photograph is some 8 GB), so places are 64-bit
// even where the bytes they point at are read a window at a time.
using StreamOffset = uint64_t;

struct Frame {
  FrameKind kind;
  StreamOffset offset;          // of the frame's first byte
  size_t length;                // bytes taken from the stream
  std::string name;             // "@EJL 1284.4", "JS", "(U", "@", "i", ...
  std::vector<uint8_t> params;  // parameter bytes (raster rows: the packed data)
  // Raster rows.
  int colorCode = 0;
  int compression = 0;
  int bitsPerDot = 0;
  int declaredBytes = 0;
  int rows = 0;
  std::vector<uint8_t> unpacked;
  // Vertical moves: lines moved.
  int lines = 0;
};

struct Problem {
  StreamOffset offset;
  std::string message;
};

struct Stream {
  std::vector<Frame> frames;
  std::vector<Problem> problems;
};

// Unpacks PackBits data into exactly `expected` bytes. False, with a
// message, when a packet is cut off, a header is 80, or the data unpacks
// to more or fewer bytes.
bool unpackBits(const uint8_t* data, size_t size, size_t expected, std::vector<uint8_t>* out, std::string* error);

// Decodes a whole stream. Returns true when no problem was found; frames
// decoded before a problem are kept, and decoding stops at the first
// byte sequence it cannot place.
bool decodeStream(const uint8_t* data, size_t size, Stream* out);

// Decodes a stream one frame at a time, handing each to `visit` and keeping
// none: memory stays at one frame however long the stream. Stops when visit
// returns false (the result is then false, with no problem) or at the first
// problem, which goes to *problem.
bool decodeEachFrame(const uint8_t* data, size_t size, const std::function<bool(const Frame&)>& visit,
                     Problem* problem);

// Where a stream's bytes come from when it is not all in memory: fills up
// to `max` bytes and returns how many, 0 at the end, or -1 on a read error.
using ReadBytes = std::function<long long(uint8_t* into, size_t max)>;

// The same over a stream read piece by piece (a print file of any length):
// memory stays at a window of about a megabyte. Frames and problems carry
// their offsets in the whole stream.
bool decodeEachFrame(const ReadBytes& read, const std::function<bool(const Frame&)>& visit, Problem* problem);

// Reads an open file from where it stands.
ReadBytes readFromFile(std::FILE* file);

// Plane index (0..7) of a printer colour code, or -1.
int planeOfColorCode(int code);
const char* inkName(int plane);

}  // namespace escp
