// Text-file lines: CR LF written; CR, LF or CR LF read.
#include <cstring>

#include "Base.h"
#include "platform/file.h"
#include "platform/path.h"

namespace {

constexpr std::size_t kChunk = 256;

}  // namespace

int jFilesPuts(jFILE file, const char* text) {
  if (!file) return 0;
  if (!text) text = "";
  return platform::writeAll(file, text, std::strlen(text)) && platform::writeAll(file, "\r\n", 2) ? 1 : 0;
}

int jFilesGets(jFILE file, char* buffer, int size) {
  if (!file || !buffer || size <= 0) return 0;
  buffer[0] = '\0';
  const std::size_t room = static_cast<std::size_t>(size) - 1;
  std::size_t length = 0;  // bytes kept in buffer
  bool cut = false;        // the line overflowed: the rest is skipped
  bool anything = false;   // at least one byte of the line (or its end) read
  char chunk[kChunk];
  for (;;) {
    std::int64_t got = platform::readFile(file, chunk, sizeof chunk);
    if (got <= 0) break;  // end of file (or an error): deliver what there is
    anything = true;
    const std::size_t count = static_cast<std::size_t>(got);
    std::size_t end = 0;
    while (end < count && chunk[end] != '\r' && chunk[end] != '\n') ++end;
    // Keep what fits of this piece of the line.
    if (!cut) {
      std::size_t take = end;
      if (length + take > room) {
        take = room - length;
        cut = true;
      }
      std::memcpy(buffer + length, chunk, take);
      length += take;
    }
    if (end == count) continue;  // no line end in this chunk yet
    // Consume the line end, then give back what was read beyond it.
    std::size_t next = end + 1;
    if (chunk[end] == '\r') {
      if (next < count) {
        if (chunk[next] == '\n') ++next;
      } else {
        char peek;
        std::int64_t more = platform::readFile(file, &peek, 1);
        if (more == 1 && peek != '\n') platform::seekRelative(file, -1);
      }
    }
    if (next < count) platform::seekRelative(file, -static_cast<std::int64_t>(count - next));
    break;
  }
  if (!anything) return 0;
  if (cut) {
    // Never leave half of a double-byte character at the cut.
    std::size_t whole = 0;
    for (std::size_t i = 0; i < length;) {
      std::size_t n = platform::isLeadByte(static_cast<unsigned char>(buffer[i])) ? 2 : 1;
      if (i + n > length) break;
      i += n;
      whole = i;
    }
    length = whole;
  }
  buffer[length] = '\0';
  return static_cast<int>(length) + 1;
}
