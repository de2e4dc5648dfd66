// CP932 to UTF-8 through the system's own code page tables.
#include <windows.h>

#include <vector>

#include "platform/text_encoding.h"

namespace platform {

namespace {

std::string convert(const char* text, UINT from, UINT to) {
  if (!text || !text[0]) return std::string();
  const int wide = MultiByteToWideChar(from, 0, text, -1, nullptr, 0);
  if (wide <= 0) return "?";
  std::vector<wchar_t> buffer(static_cast<std::size_t>(wide));
  MultiByteToWideChar(from, 0, text, -1, buffer.data(), wide);
  const int bytes = WideCharToMultiByte(to, 0, buffer.data(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return "?";
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(to, 0, buffer.data(), -1, out.data(), bytes, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(bytes - 1));
  return out;
}

}  // namespace

std::string cp932ToUtf8(const char* text) {
  return convert(text, 932, CP_UTF8);
}

std::string utf8ToCp932(const char* text) {
  return convert(text, CP_UTF8, 932);
}

}  // namespace platform
