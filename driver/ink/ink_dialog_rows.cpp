#include "driver/ink/ink_dialog_rows.h"

#include "driver/ink/ink_file.h"

namespace rx3 {
namespace {

struct ColumnRange {
  int32_t low;
  int32_t high;
};

constexpr ColumnRange kRanges[kInkColumnCount] = {{10, 10000}, {0, 100}, {10, 1000}, {0, 10000}};

}  // namespace

bool findInkField(int id, InkField* out) {
  for (int ink = 0; ink < 8; ++ink)
    for (int c = 0; c < kInkColumnCount; ++c)
      if (kInkRowIds[ink].field[c] == id) {
        *out = InkField{ink, static_cast<InkColumn>(c)};
        return true;
      }
  return false;
}

int findInkReset(int id) {
  for (int ink = 0; ink < 8; ++ink)
    if (kInkRowIds[ink].reset == id) return ink;
  return -1;
}

int32_t shownInkValue(const InkEntry& ink, InkColumn column) {
  switch (column) {
    case InkColumn::kCapacity:
      return ink.capacityMl;
    case InkColumn::kWarning:
      return ink.warningPercent;
    case InkColumn::kCorrection:
      return ink.correctionPercent;
    case InkColumn::kUsage:
      break;
  }
  return static_cast<int32_t>(ink.totalUsed / kPicolitresPerMl);
}

void takeInkValue(InkEntry* ink, InkColumn column, const char* text) {
  const ColumnRange range = kRanges[static_cast<int>(column)];
  long long read = readDecimal(text);
  int32_t value = read < range.low ? range.low : read > range.high ? range.high : static_cast<int32_t>(read);
  switch (column) {
    case InkColumn::kCapacity:
      ink->capacityMl = value;
      break;
    case InkColumn::kWarning:
      ink->warningPercent = value;
      break;
    case InkColumn::kCorrection:
      ink->correctionPercent = value;
      break;
    case InkColumn::kUsage:
      ink->totalUsed = static_cast<int64_t>(value) * kPicolitresPerMl;
      break;
  }
}

void copyFirstInkSettings(InkEntry* inks, int count) {
  for (int i = 1; i < count; ++i) {
    inks[i].capacityMl = inks[0].capacityMl;
    inks[i].correctionPercent = inks[0].correctionPercent;
    inks[i].warningPercent = inks[0].warningPercent;
  }
}

}  // namespace rx3
