// The host keyword as the installation's one-line file gives it.
#pragma once

#include <cstddef>

namespace jbase {

// The keyword in the first line of text (length bytes, not necessarily
// terminated): without its line end and trailing blanks, cut to fit the
// 64-byte out at a character boundary.
void oemKeywordOf(const char* text, std::size_t length, char* out);

}  // namespace jbase
