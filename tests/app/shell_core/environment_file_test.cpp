#include "app/shell/environment_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/shell/app_defaults.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::writeBytes;

class EnvironmentFileTest : public ::testing::Test {
 protected:
  void SetUp() override { setDefaults(&state_, variantRecord(kQuaddle)); }

  // Writes the lines (CR LF ends each) and reads them into state_.
  int readLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    EXPECT_TRUE(writeBytes(path_, text));
    return readEnvironment(path_.c_str(), &state_);
  }

  std::vector<std::string> writtenLines() {
    EXPECT_EQ(1, writeEnvironment(path_.c_str(), &state_));
    std::vector<std::string> lines;
    const std::string text = readBytes(path_);
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find("\r\n", at);
      if (end == std::string::npos) {
        ADD_FAILURE() << "last line without CR LF";
        break;
      }
      lines.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return lines;
  }

  ScratchFolder folder_;
  std::string path_ = folder_.join("vellox.ENV");
  AppState state_{};
};

TEST_F(EnvironmentFileTest, MissingFileLeavesEveryDefault) {
  AppState before = state_;
  EXPECT_EQ(0, readEnvironment(folder_.join("none.ENV").c_str(), &state_));
  EXPECT_EQ(0, std::memcmp(&before, &state_, sizeof state_));
  EXPECT_EQ(0, readEnvironment(nullptr, &state_));
  EXPECT_EQ(0, readEnvironment(path_.c_str(), nullptr));
}

TEST_F(EnvironmentFileTest, ShortLineEndsTheReading) {
  ASSERT_EQ(1, readLines({"HOLDJOB=7", "", "PREVIEW=OFF"}));
  EXPECT_EQ(7, state_.holdJobs);
  EXPECT_EQ(1, state_.preview);

  ASSERT_EQ(1, readLines({"HOLDJOB=8", "abc", "PREVIEW=OFF"}));
  EXPECT_EQ(8, state_.holdJobs);
  EXPECT_EQ(1, state_.preview);

  // Four characters are a line; comments and unknown keys are passed over.
  ASSERT_EQ(1, readLines({"abcd", ";HOLDJOB=3", "COLOUR=red", "PREVIEW=OFF"}));
  EXPECT_EQ(8, state_.holdJobs);
  EXPECT_EQ(0, state_.preview);
}

TEST_F(EnvironmentFileTest, FlagsAreReadFromTheirFirstTwoCharacters) {
  ASSERT_EQ(1, readLines({"autoprn=On", "preview=1"}));
  EXPECT_EQ(1, state_.autoPrint);
  EXPECT_EQ(0, state_.preview);

  ASSERT_EQ(1, readLines({"AUTOPRN=ONLINE", "PREVIEW=oN"}));
  EXPECT_EQ(1, state_.autoPrint);
  EXPECT_EQ(1, state_.preview);

  ASSERT_EQ(1, readLines({"AUTOPRN=OFF", "PREVIEW= ON"}));
  EXPECT_EQ(0, state_.autoPrint);
  EXPECT_EQ(0, state_.preview);
}

TEST_F(EnvironmentFileTest, NumbersAreLeadingDecimalIntegers) {
  ASSERT_EQ(1, readLines({"HOLDJOB=  -12px", "MAINRC1=+40", "MAINRC2=abc", "LISTRC4=99999999999", "PF_INTENT=2"}));
  EXPECT_EQ(-12, state_.holdJobs);
  EXPECT_EQ(40, state_.mainRect[0]);
  EXPECT_EQ(0, state_.mainRect[1]);
  EXPECT_EQ(INT32_MAX, state_.listRect[3]);
  EXPECT_EQ(2, state_.intent);
}

TEST_F(EnvironmentFileTest, KeysAreComparedOverTheirOwnLength) {
  // "PF_INTENT=" wants its "=": a longer key name is no match.
  ASSERT_EQ(1, readLines({"PF_INTENTS=3", "PRNNAMEX=y", "CLMWIDE=77"}));
  EXPECT_EQ(-1, state_.intent);
  EXPECT_STREQ("", state_.printerName);
  EXPECT_EQ(77, state_.columnWidths[0][0]);
}

TEST_F(EnvironmentFileTest, WidthLinesFillTheirListsInFileOrder) {
  ASSERT_EQ(1, readLines({"CLMWIDE=1", "CLMWID2=21", "CLMWIDE=2", "CLMWIDE=3"}));
  const int32_t upper[kColumnCount] = {1, 2, 3, 115, 60, 120, 150};
  const int32_t lower[kColumnCount] = {21, 150, 60, 115, 60, 120, 150};
  EXPECT_EQ(0, std::memcmp(upper, state_.columnWidths[0], sizeof upper));
  EXPECT_EQ(0, std::memcmp(lower, state_.columnWidths[1], sizeof lower));

  // The eighth and later lines are ignored; counters start anew per read.
  std::vector<std::string> lines;
  for (int i = 1; i <= 9; ++i) lines.push_back("CLMWIDE=" + std::to_string(i * 10));
  ASSERT_EQ(1, readLines(lines));
  const int32_t seven[kColumnCount] = {10, 20, 30, 40, 50, 60, 70};
  EXPECT_EQ(0, std::memcmp(seven, state_.columnWidths[0], sizeof seven));
}

TEST_F(EnvironmentFileTest, StringsAreKeptUnchangedButCutToTheirFields) {
  ASSERT_EQ(1, readLines({"PRNNAME= RX3 ﾌﾟﾘﾝﾀ ", "PF_RGB=C:\\表\\a.icm"}));
  EXPECT_STREQ(" RX3 ﾌﾟﾘﾝﾀ ", state_.printerName);
  EXPECT_STREQ("C:\\表\\a.icm", state_.rgbProfile);

  // A name cut to 63 bytes never ends in half a double-byte character.
  std::string name(62, 'n');
  name += "表表";
  ASSERT_EQ(1, readLines({"PRNNAME=" + name}));
  EXPECT_EQ(std::string(62, 'n'), state_.printerName);
}

TEST_F(EnvironmentFileTest, OverlongProfilePathIsRefusedNotCut) {
  ASSERT_EQ(1, readLines({"PF_RGB=C:\\keep.icm"}));
  const std::string longPath = "C:\\" + std::string(300, 'p') + ".icm";
  ASSERT_EQ(1, readLines({"PF_RGB=" + longPath, "PF_CMYK=" + longPath, "HOLDJOB=5"}));
  EXPECT_STREQ("C:\\keep.icm", state_.rgbProfile);
  EXPECT_STREQ("", state_.cmykProfile);
  EXPECT_EQ(5, state_.holdJobs);
}

TEST_F(EnvironmentFileTest, WritesTheCanonicalLinesAfterAShuffledFile) {
  ASSERT_EQ(1, readLines({"PF_INTENT=1", "LISTRC4=300", "PRNNAME=RX3-44", "AUTOPRN=ON", "CLMWID2=9", "HOLDJOB=30",
                          "SETTLEWAIT=45", "PF_CMYK=c.icc", "MAINRC3=800", "PREVIEW=OFF", "PF_RGB=r.icm"}));
  const std::vector<std::string> expected = {
      ";-----------------------------------------------",
      ";  Environment for Vellox format 3.0J   ",
      ";  Settings and window layout of vellox, rewritten at every close",
      ";-----------------------------------------------",
      "AUTOPRN=ON",
      "HOLDJOB=30",
      "PREVIEW=OFF",
      "PRNNAME=RX3-44",
      "CLMWIDE=120",
      "CLMWIDE=150",
      "CLMWIDE=60",
      "CLMWIDE=115",
      "CLMWIDE=60",
      "CLMWIDE=120",
      "CLMWIDE=150",
      "CLMWID2=9",
      "CLMWID2=150",
      "CLMWID2=60",
      "CLMWID2=115",
      "CLMWID2=60",
      "CLMWID2=120",
      "CLMWID2=150",
      "MAINRC1=0",
      "MAINRC2=0",
      "MAINRC3=800",
      "MAINRC4=0",
      "LISTRC1=0",
      "LISTRC2=0",
      "LISTRC3=0",
      "LISTRC4=300",
      "PF_RGB=r.icm",
      "PF_CMYK=c.icc",
      "PF_INTENT=1",
      "SETTLEWAIT=45",
  };
  EXPECT_EQ(expected, writtenLines());
}

TEST_F(EnvironmentFileTest, WrittenFileReadsBackToTheSameSettings) {
  state_.autoPrint = 1;
  state_.preview = 0;
  state_.holdJobs = 100;
  std::strcpy(state_.printerName, "ﾌﾟﾘﾝﾀ表");
  state_.columnWidths[1][6] = 33;
  state_.mainRect[0] = -8;
  state_.listRect[3] = 245;
  const std::string deepPath = "C:\\" + std::string(250, 'd') + ".icm";  // 258 bytes
  std::strcpy(state_.rgbProfile, deepPath.c_str());
  state_.intent = 3;
  ASSERT_EQ(1, writeEnvironment(path_.c_str(), &state_));

  AppState back{};
  setDefaults(&back, variantRecord(kTagwright));
  ASSERT_EQ(1, readEnvironment(path_.c_str(), &back));
  EXPECT_EQ(1, back.autoPrint);
  EXPECT_EQ(0, back.preview);
  EXPECT_EQ(100, back.holdJobs);
  EXPECT_STREQ("ﾌﾟﾘﾝﾀ表", back.printerName);
  EXPECT_EQ(0, std::memcmp(state_.columnWidths, back.columnWidths, sizeof back.columnWidths));
  EXPECT_EQ(-8, back.mainRect[0]);
  EXPECT_EQ(245, back.listRect[3]);
  EXPECT_STREQ(deepPath.c_str(), back.rgbProfile);
  EXPECT_EQ(3, back.intent);
}

TEST_F(EnvironmentFileTest, AutoPrintIsWrittenOnOnlyForOne) {
  state_.autoPrint = 2;
  EXPECT_EQ("AUTOPRN=OFF", writtenLines().at(4));
}

TEST_F(EnvironmentFileTest, WriteFailsWhenTheFileCannotBeCreated) {
  EXPECT_EQ(0, writeEnvironment(folder_.join("no-such-folder").append("/x.ENV").c_str(), &state_));
  EXPECT_EQ(0, writeEnvironment(path_.c_str(), nullptr));
}

// ---- applying ----------------------------------------------------------------

struct ProfileCall {
  std::string rgb, cmyk;
  int intent = -2;
  int calls = 0;
};
ProfileCall gCall;
int gAnswer = 1;

int recordingSetup(const char* rgb, const char* cmyk, int intent) {
  gCall = {rgb, cmyk, intent, gCall.calls + 1};
  return gAnswer;
}

class ApplyEnvironmentTest : public EnvironmentFileTest {
 protected:
  void SetUp() override {
    EnvironmentFileTest::SetUp();
    gCall = {};
    gAnswer = 1;
  }
  const std::string folder_ = std::string("D:") + platform::kSeparator + "表" + platform::kSeparator;
};

TEST_F(ApplyEnvironmentTest, NeverConfiguredIntentGetsTheDefaultProfiles) {
  applyEnvironment(&state_, folder_.c_str(), recordingSetup);
  EXPECT_EQ(folder_ + "sRGB Color Space Profile.icm", state_.rgbProfile);
  EXPECT_EQ(folder_ + "JapanColor2001Coated.icc", state_.cmykProfile);
  EXPECT_EQ(0, state_.intent);
  EXPECT_EQ(1, gCall.calls);
  EXPECT_EQ(state_.rgbProfile, gCall.rgb);
  EXPECT_EQ(state_.cmykProfile, gCall.cmyk);
  EXPECT_EQ(0, gCall.intent);
}

TEST_F(ApplyEnvironmentTest, ConfiguredProfilesAreHandedOverUnchanged) {
  std::strcpy(state_.rgbProfile, "a.icm");
  std::strcpy(state_.cmykProfile, "b.icc");
  state_.intent = 2;
  applyEnvironment(&state_, folder_.c_str(), recordingSetup);
  EXPECT_STREQ("a.icm", state_.rgbProfile);
  EXPECT_EQ("b.icc", gCall.cmyk);
  EXPECT_EQ(2, state_.intent);
}

TEST_F(ApplyEnvironmentTest, RejectedProfilesAreDropped) {
  gAnswer = 0;
  std::strcpy(state_.rgbProfile, "a.icm");
  state_.intent = 2;
  applyEnvironment(&state_, folder_.c_str(), recordingSetup);
  EXPECT_STREQ("", state_.rgbProfile);
  EXPECT_STREQ("", state_.cmykProfile);
  EXPECT_EQ(0, state_.intent);
}

TEST_F(ApplyEnvironmentTest, DefaultPathsThatDoNotFitAreNotCut) {
  const std::string deep = "D:" + std::string(230, 'f') + platform::kSeparator;
  applyEnvironment(&state_, deep.c_str(), recordingSetup);
  EXPECT_EQ("", gCall.rgb);                                  // 233 + 28 bytes would not fit
  EXPECT_EQ(deep + "JapanColor2001Coated.icc", gCall.cmyk);  // 233 + 24 still fit

  // No folder at all (the module folder could not be found): no bare names.
  setDefaults(&state_, variantRecord(kQuaddle));
  applyEnvironment(&state_, "", recordingSetup);
  EXPECT_EQ("", gCall.rgb);
  EXPECT_EQ("", gCall.cmyk);
}

TEST_F(ApplyEnvironmentTest, SavedListHeightBelow45FallsBackToTheEvenSplit) {
  state_.listRect[1] = 100;
  state_.listRect[3] = 140;
  applyEnvironment(&state_, folder_.c_str(), recordingSetup);
  EXPECT_EQ(0, state_.listRect[1]);
  EXPECT_EQ(0, state_.listRect[3]);

  state_.listRect[1] = 100;
  state_.listRect[3] = 145;
  applyEnvironment(&state_, folder_.c_str(), recordingSetup);
  EXPECT_EQ(100, state_.listRect[1]);
  EXPECT_EQ(145, state_.listRect[3]);

  state_.listRect[1] = INT32_MAX;
  state_.listRect[3] = INT32_MIN;
  applyEnvironment(&state_, folder_.c_str(), recordingSetup);
  EXPECT_EQ(0, state_.listRect[3]);
}

}  // namespace
}  // namespace vlx
