// The profile editor's fields without a window: what each field shows of a
// ColorProfile, and the checks that an entry must pass before the profile
// takes it. Nothing out of range is bent into range: it is refused whole.
#pragma once

#include <cstddef>

#include "Device.h"

namespace device {

constexpr int kColorModeCmyk = 254;
constexpr int kInkLimitHigh = 400;  // four full inks
constexpr int kInkLimitLow = 10;    // 0 stays allowed: the driver's standard
constexpr int kDrawOptionHigh = 255;

// The texts of the editor's fields.
struct ProfileTexts {
  char name[64];
  char inkLimit[16];
  char drawOption[16];
  char conversion[64];
  char colorFile1[260];
  char colorFile2[260];
  bool cmyk;
};

enum class ProfileField { kNone, kName, kInkLimit, kDrawOption, kConversion, kColorFile1, kColorFile2 };

struct ProfileRefusal {
  ProfileField field;  // kNone: accepted
  const char* message;
};

ProfileTexts profileTexts(const ColorProfile& profile);
// Checks every field; only when all pass is the profile changed.
ProfileRefusal applyProfileTexts(const ProfileTexts& texts, ColorProfile* profile);
// A whole decimal number within [low, high]; false for anything else.
bool readWholeNumber(const char* text, int low, int high, int* out);

}  // namespace device
