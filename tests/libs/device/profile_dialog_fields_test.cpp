// The profile editor's checks: an entry out of range is refused whole and
// leaves the profile as it was; accepted entries rewrite whole fields.
#include <gtest/gtest.h>

#include <cstring>

#include "libs/device/profile_dialog_fields.h"

namespace {

using device::ProfileField;

ColorProfile sample() {
  ColorProfile p;
  jColorProfileInit(&p);
  std::strcpy(p.name, "光沢紙 長い名前の用紙");
  std::strcpy(p.colorFile1, "C:\\drv\\GLOSS.ct1");
  p.inkLimit = 150;
  p.colorMode = 7;
  return p;
}

TEST(ProfileFields, EntriesOutOfRangeAreRefusedAndChangeNothing) {
  struct Case {
    ProfileField field;
    const char* inkLimit;
    const char* drawOption;
    const char* name;
    const char* conversion;
  };
  const Case cases[] = {
      {ProfileField::kInkLimit, "401", "0", "紙", ""},
      {ProfileField::kInkLimit, "9", "0", "紙", ""},
      {ProfileField::kInkLimit, "4294967446", "0", "紙", ""},
      {ProfileField::kInkLimit, "-150", "0", "紙", ""},
      {ProfileField::kInkLimit, "15x", "0", "紙", ""},
      {ProfileField::kInkLimit, "", "0", "紙", ""},
      {ProfileField::kDrawOption, "150", "256", "紙", ""},
      {ProfileField::kName, "150", "0", "", ""},
      {ProfileField::kConversion, "150", "0", "紙", "jPrintEndDoc"},
  };
  for (const Case& c : cases) {
    ColorProfile profile = sample();
    device::ProfileTexts texts = device::profileTexts(profile);
    std::strcpy(texts.inkLimit, c.inkLimit);
    std::strcpy(texts.drawOption, c.drawOption);
    std::strcpy(texts.name, c.name);
    std::strcpy(texts.conversion, c.conversion);
    device::ProfileRefusal refusal = device::applyProfileTexts(texts, &profile);
    EXPECT_EQ(c.field, refusal.field) << c.inkLimit << " " << c.drawOption << " " << c.name;
    EXPECT_NE(nullptr, refusal.message);
    ColorProfile untouched = sample();
    EXPECT_EQ(0, std::memcmp(&untouched, &profile, sizeof profile)) << c.inkLimit;
  }
}

TEST(ProfileFields, AcceptedEntriesRewriteWholeFieldsAndKeepAnRgbMode) {
  ColorProfile profile = sample();
  device::ProfileTexts texts = device::profileTexts(profile);
  EXPECT_STREQ("150", texts.inkLimit);
  EXPECT_FALSE(texts.cmyk);
  std::strcpy(texts.name, "紙");
  std::strcpy(texts.inkLimit, " 0 ");
  std::strcpy(texts.colorFile1, "GLOSS.ct1");
  ASSERT_EQ(ProfileField::kNone, device::applyProfileTexts(texts, &profile).field);
  EXPECT_EQ(0, profile.inkLimit);
  EXPECT_EQ(7, profile.colorMode) << "an RGB mode value is carried";
  for (std::size_t i = std::strlen(profile.name); i < sizeof profile.name; ++i) ASSERT_EQ(0, profile.name[i]) << i;
  for (std::size_t i = 9; i < sizeof profile.colorFile1; ++i) ASSERT_EQ(0, profile.colorFile1[i]) << i;
  texts.cmyk = true;
  std::strcpy(texts.inkLimit, "400");
  ASSERT_EQ(ProfileField::kNone, device::applyProfileTexts(texts, &profile).field);
  EXPECT_EQ(device::kColorModeCmyk, profile.colorMode);
  EXPECT_EQ(400, profile.inkLimit);
}

}  // namespace
