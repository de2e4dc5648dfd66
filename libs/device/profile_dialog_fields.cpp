#include "libs/device/profile_dialog_fields.h"

#include <cstdio>
#include <cstring>

namespace device {
namespace {

// Exports of the driver that are not colour conversions: naming one would
// have the colour set-up call it with the wrong arguments.
constexpr const char* kForbiddenConversionPrefix = "jPrint";

// The whole field is rewritten: nothing of an older, longer text stays
// behind the terminator (the profile files carry whole fields).
template <std::size_t N>
void copyField(char (&out)[N], const char* text) {
  std::memset(out, 0, N);
  std::snprintf(out, N, "%s", text);
}

bool fitsIn(const char* text, std::size_t capacity) {
  return std::strlen(text) < capacity;
}

}  // namespace

bool readWholeNumber(const char* text, int low, int high, int* out) {
  const char* p = text;
  while (*p == ' ') ++p;
  long long value = 0;
  int digits = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (++digits > 9) return false;
    value = value * 10 + (*p - '0');
  }
  while (*p == ' ') ++p;
  if (digits == 0 || *p != '\0' || value < low || value > high) return false;
  *out = static_cast<int>(value);
  return true;
}

ProfileTexts profileTexts(const ColorProfile& profile) {
  ProfileTexts t{};
  std::snprintf(t.name, sizeof t.name, "%.63s", profile.name);
  std::snprintf(t.inkLimit, sizeof t.inkLimit, "%d", profile.inkLimit);
  std::snprintf(t.drawOption, sizeof t.drawOption, "%d", profile.drawOption);
  std::snprintf(t.conversion, sizeof t.conversion, "%.63s", profile.conversionFunction);
  std::snprintf(t.colorFile1, sizeof t.colorFile1, "%.259s", profile.colorFile1);
  std::snprintf(t.colorFile2, sizeof t.colorFile2, "%.259s", profile.colorFile2);
  t.cmyk = profile.colorMode == kColorModeCmyk;
  return t;
}

ProfileRefusal applyProfileTexts(const ProfileTexts& t, ColorProfile* profile) {
  if (!t.name[0] || !fitsIn(t.name, sizeof profile->name))
    return {ProfileField::kName, "用紙名を入力してください (半角63文字まで)。"};
  int inkLimit = 0;
  if (!readWholeNumber(t.inkLimit, 0, kInkLimitHigh, &inkLimit) || (inkLimit != 0 && inkLimit < kInkLimitLow))
    return {ProfileField::kInkLimit, "ｲﾝｸ制限は 10～400 % で入力してください (0 は標準)。"};
  int drawOption = 0;
  if (!readWholeNumber(t.drawOption, 0, kDrawOptionHigh, &drawOption))
    return {ProfileField::kDrawOption, "描画ｵﾌﾟｼｮﾝは 0～255 で入力してください。"};
  if (!fitsIn(t.conversion, sizeof profile->conversionFunction) ||
      std::strncmp(t.conversion, kForbiddenConversionPrefix, std::strlen(kForbiddenConversionPrefix)) == 0)
    return {ProfileField::kConversion, "この変換関数は使用できません。"};
  if (!fitsIn(t.colorFile1, sizeof profile->colorFile1))
    return {ProfileField::kColorFile1, "ｶﾗｰﾌｧｲﾙのﾊﾟｽが長すぎます。"};
  if (!fitsIn(t.colorFile2, sizeof profile->colorFile2))
    return {ProfileField::kColorFile2, "ｶﾗｰﾌｧｲﾙのﾊﾟｽが長すぎます。"};

  copyField(profile->name, t.name);
  profile->inkLimit = inkLimit;
  profile->drawOption = drawOption;
  copyField(profile->conversionFunction, t.conversion);
  copyField(profile->colorFile1, t.colorFile1);
  copyField(profile->colorFile2, t.colorFile2);
  // Any other RGB mode value the profile carried is kept when RGB stays.
  if (t.cmyk)
    profile->colorMode = kColorModeCmyk;
  else if (profile->colorMode == kColorModeCmyk)
    profile->colorMode = 0;
  return {ProfileField::kNone, nullptr};
}

}  // namespace device
