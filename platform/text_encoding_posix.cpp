// CP932 to UTF-8 through the C library's iconv.
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/text_encoding.h"

namespace platform {

namespace {

std::string convert(const char* text, const char* toCode, const char* fromCode) {
  if (!text || !text[0]) return std::string();
  iconv_t convert = iconv_open(toCode, fromCode);
  if (convert == reinterpret_cast<iconv_t>(-1)) return text;
  std::string in(text);
  std::string out;
  char* from = in.data();
  std::size_t left = in.size();
  char chunk[256];
  while (left > 0) {
    char* to = chunk;
    std::size_t room = sizeof chunk;
    const std::size_t done = iconv(convert, &from, &left, &to, &room);
    out.append(chunk, static_cast<std::size_t>(to - chunk));
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += '?';  // a byte that is no character of the source
      ++from;
      --left;
    }
  }
  iconv_close(convert);
  return out;
}

}  // namespace

std::string cp932ToUtf8(const char* text) {
  return convert(text, "UTF-8", "CP932");
}

std::string utf8ToCp932(const char* text) {
  return convert(text, "CP932", "UTF-8");
}

}  // namespace platform
