// Font registration with the drawing library: the two built-in TrueType
// groups, then the groups and font files of the host's font list file. The
// file is stored with the two 4-bit halves of every byte exchanged; once
// they are swapped back it is CP932 text.
#pragma once

#include <string>
#include <vector>

#include "Draw.h"

namespace vlx {

// The font records the list's text registers, in order: a version 2 list's
// groups (kind 1) and entries (kinds 11, 12); nothing for a version 3 list or
// a text without a version line. text is already swapped back.
std::vector<jFontRecord> fontListRecords(const std::string& text, const char* fontFolder);

// Swaps the 4-bit halves of every byte (the same call stores and reads).
void swapNibbles(std::string* bytes);

// jFontClear, the built-in groups, the list's records, jFontSetCurrent(1).
// 0 (nothing done) when either path is null; a list that cannot be read
// registers only the built-in groups.
int registerFonts(const char* fontListPath, const char* fontFolder);

}  // namespace vlx
