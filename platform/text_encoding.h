// The conversions between the program's own text form, CP932 (Shift-JIS)
// bytes, and UTF-8, for files other programs read (the print journal).
#pragma once

#include <string>

namespace platform {

// The UTF-8 form of a CP932 string; bytes that are not CP932 become "?".
std::string cp932ToUtf8(const char* text);
// And back, for reading such a file: characters CP932 lacks become "?".
std::string utf8ToCp932(const char* text);

}  // namespace platform
