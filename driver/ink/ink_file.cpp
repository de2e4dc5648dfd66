#include "driver/ink/ink_file.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "Base.h"
#include "platform/path.h"

namespace rx3 {
namespace {

struct InkDefault {
  const char* name;
  uint8_t red, green, blue;
};

constexpr InkDefault kDefaults[kInkCount] = {
    {"C", 0, 192, 255},    {"M", 255, 0, 255},    {"Y", 255, 255, 0},    {"K", 0, 0, 0},
    {"Lc", 128, 192, 255}, {"Lm", 255, 128, 255}, {"Lk", 128, 128, 128}, {"Lg", 192, 192, 192},
};

constexpr int32_t kDefaultCapacityMl = 220;
constexpr int32_t kDefaultCorrectionPercent = 100;
constexpr int32_t kDefaultWarningPercent = 10;

constexpr const char* kRule = "----------------------------------------------------------------";
constexpr const char* kTitle = "         INK設定file for Printer ver 2.0J               ";

// Every key is padded to ten characters and followed by "= ".
constexpr std::size_t kValueColumn = 12;

// The text from column on, or "" when the line ends before it.
const char* at(const char* line, std::size_t column) {
  return std::strlen(line) >= column ? line + column : "";
}

int32_t clampToInt32(long long value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// The next value of a comma-separated list, or "" when there is none.
const char* nextValue(const char* text) {
  const char* comma = std::strchr(text, ',');
  return comma ? comma + 1 : "";
}

// Signed decimal text of a 64-bit value, the same on every target.
void decimal64(char* out, long long value) {
  char digits[24];
  int n = 0;
  unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) *out++ = '-';
  while (n) *out++ = digits[--n];
  *out = '\0';
}

bool keyIs(const char* line, const char* key) {
  return jStrCmpNI(line, key, static_cast<int>(std::strlen(key))) == 0;
}

// The ink number after a key, as an index 0..7, or -1.
int inkIndex(const char* line, std::size_t column) {
  long long n = readDecimal(at(line, column));
  return n >= 1 && n <= kInkCount ? static_cast<int>(n - 1) : -1;
}

}  // namespace

long long readDecimal(const char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  unsigned long long magnitude = 0;
  const unsigned long long limit = negative ? 0ULL - static_cast<unsigned long long>(LLONG_MIN) : LLONG_MAX;
  for (; *text >= '0' && *text <= '9'; ++text) {
    unsigned digit = static_cast<unsigned>(*text - '0');
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  if (!negative) return static_cast<long long>(magnitude);
  return magnitude == limit ? LLONG_MIN : -static_cast<long long>(magnitude);
}

void setDefaultInks(InkEntry inks[kInkCount]) {
  for (int i = 0; i < kInkCount; ++i) {
    InkEntry& ink = inks[i];
    std::memset(&ink, 0, sizeof ink);
    platform::copyTruncated(ink.name, sizeof ink.name, kDefaults[i].name);
    ink.color = J_RGB(kDefaults[i].red, kDefaults[i].green, kDefaults[i].blue);
    ink.capacityMl = kDefaultCapacityMl;
    ink.correctionPercent = kDefaultCorrectionPercent;
    ink.warningPercent = kDefaultWarningPercent;
  }
}

void formatInkFile(const InkEntry inks[kInkCount], char lines[kInkFileLines][kInkLineBytes]) {
  int n = 0;
  std::snprintf(lines[n++], kInkLineBytes, "%s", kRule);
  std::snprintf(lines[n++], kInkLineBytes, "%s", kTitle);
  std::snprintf(lines[n++], kInkLineBytes, "%s", kRule);
  std::snprintf(lines[n++], kInkLineBytes, "INK_NUM   = %d", kInkCount);
  for (int i = 0; i < kInkCount; ++i) {
    const InkEntry& ink = inks[i];
    char name[sizeof ink.name];
    std::memcpy(name, ink.name, sizeof name);
    name[sizeof name - 1] = '\0';
    char total[24];
    char last[24];
    decimal64(total, ink.totalUsed);
    decimal64(last, ink.lastPage);
    std::snprintf(lines[n++], kInkLineBytes, "NAME%02d    = %s", i + 1, name);
    std::snprintf(lines[n++], kInkLineBytes, "RGB%02d     = %d,%d,%d", i + 1, static_cast<int>(ink.color & 0xFF),
                  static_cast<int>((ink.color >> 8) & 0xFF), static_cast<int>((ink.color >> 16) & 0xFF));
    std::snprintf(lines[n++], kInkLineBytes, "INK%02d     = %d,%d,%d,%s,%s", i + 1, static_cast<int>(ink.capacityMl),
                  static_cast<int>(ink.correctionPercent), static_cast<int>(ink.warningPercent), total, last);
  }
}

void readInkLine(const char* line, InkEntry inks[kInkCount], int* count) {
  if (keyIs(line, "INK_NUM   ")) {
    long long value = readDecimal(at(line, kValueColumn));
    *count = static_cast<int>(value < 0 ? 0 : value > kInkCount ? kInkCount : value);
  } else if (keyIs(line, "NAME")) {
    int i = inkIndex(line, 4);
    if (i >= 0) platform::copyTruncated(inks[i].name, sizeof inks[i].name, at(line, kValueColumn));
  } else if (keyIs(line, "RGB")) {
    int i = inkIndex(line, 3);
    if (i < 0) return;
    const char* value = at(line, kValueColumn);
    uint32_t red = static_cast<uint32_t>(readDecimal(value)) & 0xFF;
    value = nextValue(value);
    uint32_t green = static_cast<uint32_t>(readDecimal(value)) & 0xFF;
    value = nextValue(value);
    uint32_t blue = static_cast<uint32_t>(readDecimal(value)) & 0xFF;
    inks[i].color = red | green << 8 | blue << 16;
  } else if (keyIs(line, "INK")) {
    int i = inkIndex(line, 3);
    if (i < 0) return;
    const char* value = at(line, kValueColumn);
    inks[i].capacityMl = clampToInt32(readDecimal(value));
    value = nextValue(value);
    inks[i].correctionPercent = clampToInt32(readDecimal(value));
    value = nextValue(value);
    inks[i].warningPercent = clampToInt32(readDecimal(value));
    value = nextValue(value);
    inks[i].totalUsed = readDecimal(value);
    value = nextValue(value);
    inks[i].lastPage = readDecimal(value);
  }
}

}  // namespace rx3
