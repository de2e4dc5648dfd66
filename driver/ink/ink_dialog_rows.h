// The rules of the ink settings dialog without any window: the control ids
// of its eight rows, the four edited columns with their ranges, and what an
// entry in a field does to the working account.
#pragma once

#include <cstdint>

#include "PrintDriver.h"

namespace rx3 {

enum class InkColumn { kCapacity, kWarning, kCorrection, kUsage };
constexpr int kInkColumnCount = 4;

struct InkRowIds {
  int field[kInkColumnCount];  // capacity, warning, correction, current usage
  int reset;
  int nameBox;
};

constexpr InkRowIds kInkRowIds[8] = {
    {{1020, 1024, 1023, 1019}, 1049, 1011}, {{1026, 1028, 1027, 1025}, 1050, 1012},
    {{1030, 1032, 1031, 1029}, 1051, 1013}, {{1034, 1036, 1035, 1033}, 1052, 1014},
    {{1038, 1040, 1039, 1037}, 1053, 1015}, {{1042, 1044, 1043, 1041}, 1054, 1016},
    {{1046, 1048, 1047, 1045}, 1055, 1017}, {{1058, 1060, 1059, 1056}, 1057, 1018},
};

constexpr int64_t kPicolitresPerMl = 1000000000;

struct InkField {
  int ink;
  InkColumn column;
};

// The field a control id names; false for any other id.
bool findInkField(int id, InkField* out);
// The ink whose reset button id is, or -1.
int findInkReset(int id);

// What a field shows for an ink: the field value, usage in whole ml.
int32_t shownInkValue(const InkEntry& ink, InkColumn column);
// Takes the text typed into a field: a decimal number (no digits read as 0)
// clamped to the column's range, stored into the ink (usage as picolitres).
// The whole text is read, so five-digit capacities are kept as typed.
void takeInkValue(InkEntry* ink, InkColumn column, const char* text);
// Inks 2..8 take ink 1's capacity, correction and warning.
void copyFirstInkSettings(InkEntry* inks, int count);

}  // namespace rx3
