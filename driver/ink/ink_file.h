// The ink file's text: its default account, the 28 lines it is written as,
// and the tolerant reading of one line.
#pragma once

#include <cstddef>

#include "PrintDriver.h"

namespace rx3 {

constexpr int kInkCount = 8;
constexpr int kInkFileLines = 28;
constexpr std::size_t kInkLineBytes = 128;  // longer than any line we write
constexpr int kInkReadBytes = 300;          // longest line the reader delivers

void setDefaultInks(InkEntry inks[kInkCount]);

// The file's lines, without line ends.
void formatInkFile(const InkEntry inks[kInkCount], char lines[kInkFileLines][kInkLineBytes]);

// Applies one line to the account; an "INK_NUM" line sets *count (kept
// within 0..8, the size of the account). Unknown lines, bad numbers and ink
// numbers outside 1..8 change nothing.
void readInkLine(const char* line, InkEntry inks[kInkCount], int* count);

// Decimal reading: optional blanks and sign, then digits up to the first
// other character; no digits give 0; values beyond the type's range stop at
// its limit.
long long readDecimal(const char* text);

}  // namespace rx3
