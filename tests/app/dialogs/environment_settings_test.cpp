// The environment dialog's rules: the count as typed, the profile pair
// taken from the profile dialog, the intent label, and OK's apply step over
// the real drawing library with profiles written for the test.
#include "app/dialogs/environment_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/shell/app_defaults.h"
#include "app/shell/environment_file.h"
#include "app/shell/variant.h"
#include "libs/press/icc_writer.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

jProfileBlock block(const char* rgb, const char* cmyk, int32_t intent) {
  jProfileBlock b{};
  std::strcpy(b.rgbPath, rgb);
  std::strcpy(b.cmykPath, cmyk);
  b.intent = intent;
  return b;
}

TEST(EnvironmentSettingsTest, CountIsReadFromItsFirstFourCharactersAndClamped) {
  const struct {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"20", 20}, {"250", 100}, {"abc", 0},    {"", 0},        {"  12", 12}, {"-5", 0},    {"+7", 7},
      {"007", 7}, {"12x", 12},  {"1234", 100}, {"12345", 100}, {"  -1", 0},  {"   99", 9},  // the fifth character is
                                                                                            // not read
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, holdJobsFromText(c.text)) << '"' << c.text << '"';
  EXPECT_EQ(0, holdJobsFromText(nullptr));
}

TEST(EnvironmentSettingsTest, AnUntouchedCountKeepsItsValueAndLoweringItCountsTheJobsItWouldDelete) {
  EXPECT_EQ(holdJobsAfterEdit("-1", -1), -1) << "keep everything stays keep everything";
  EXPECT_EQ(holdJobsAfterEdit("500", 500), 500);
  EXPECT_EQ(holdJobsAfterEdit("50", -1), 50);
  EXPECT_EQ(holdJobsAfterEdit("-1", 20), 0) << "typed, the dialog's range holds";
  const struct {
    int32_t before, after;
    int printed, lost;
  } cases[] = {
      {-1, 100, 500, 400}, {500, 100, 500, 400}, {100, 50, 80, 30}, {100, 100, 500, 0},
      {20, 50, 500, 0},    {-1, -1, 500, 0},     {100, 0, 0, 0},    {100, 10, 5, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(printedJobsToDelete(c.before, c.after, c.printed), c.lost) << c.before << "->" << c.after;
}

TEST(EnvironmentSettingsTest, IntentLabelNeedsAnRgbProfileAndAKnownIntent) {
  const char* names[] = {"視覚的", "相対的色彩", "彩度", "絶対的色彩"};
  for (int intent = 0; intent < 4; ++intent) EXPECT_STREQ(names[intent], intentLabel(block("a.icm", "b.icc", intent)));
  EXPECT_STREQ("", intentLabel(block("", "b.icc", 1))) << "no RGB profile";
  EXPECT_STREQ("", intentLabel(block("a.icm", "b.icc", -1))) << "never set";
  EXPECT_STREQ("", intentLabel(block("a.icm", "b.icc", 4)));
}

class EnvironmentApplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(icc::writeDefaultProfiles(folder_.path().c_str()));
    setDefaults(&state_, variantRecord(kQuaddle));
  }
  testing_support::ScratchFolder folder_;
  const std::string rgb_ = folder_.join(kDefaultRgbProfileName);
  const std::string cmyk_ = folder_.join(kDefaultCmykProfileName);
  AppState state_{};
};

TEST_F(EnvironmentApplyTest, AcceptedProfilesAndTheOtherSettingsAreWrittenBack) {
  EnvironmentCopy copy = environmentCopyOf(state_);
  copy.autoPrint = 1;
  copy.holdJobs = 42;
  copy.profiles = block(rgb_.c_str(), cmyk_.c_str(), 2);
  applyEnvironmentCopy(&state_, copy);
  EXPECT_EQ(1, state_.autoPrint);
  EXPECT_EQ(42, state_.holdJobs);
  EXPECT_EQ(rgb_, state_.rgbProfile);
  EXPECT_EQ(cmyk_, state_.cmykProfile);
  EXPECT_EQ(2, state_.intent);
}

TEST_F(EnvironmentApplyTest, RefusedProfilesAreEmptiedButTheRestApplies) {
  EnvironmentCopy copy = environmentCopyOf(state_);
  copy.holdJobs = 7;
  copy.profiles = block(cmyk_.c_str(), rgb_.c_str(), 1);  // swapped: neither fits its space
  applyEnvironmentCopy(&state_, copy);
  EXPECT_STREQ("", state_.rgbProfile);
  EXPECT_STREQ("", state_.cmykProfile);
  EXPECT_EQ(1, state_.intent);
  EXPECT_EQ(7, state_.holdJobs);
}

}  // namespace
}  // namespace vlx
