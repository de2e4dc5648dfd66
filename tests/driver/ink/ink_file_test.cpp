#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "Base.h"
#include "driver/ink/ink_account.h"
#include "driver/ink/ink_file.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "driver/machines/machine_state.h"
#include "platform/scratch_folder.h"

namespace {

using testing_support::readByteVector;
using testing_support::writeBytes;

std::vector<std::string> lines(const std::vector<unsigned char>& bytes) {
  std::vector<std::string> out;
  std::string text(bytes.begin(), bytes.end());
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    out.push_back(text.substr(start, end - start));
  EXPECT_EQ(text.size(), start) << "every line ends in CR LF";
  return out;
}

class InkFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rx3::attachDriver(folder.join("RX3.dll").c_str()));
    record.machineIndex = 2;
    std::strcpy(record.displayName, "EPSON RX-3");
  }
  void TearDown() override {
    jPrintCloseMachine(&record);
    rx3::detachDriver();
  }
  std::string inkPath() const { return folder.join("EPSON RX-3.ink"); }

  testing_support::ScratchFolder folder{"h4ink"};
  DeviceRecord record{};
  InkEntry inks[8];
};

TEST_F(InkFile, SaveWritesTheTwentyEightLines) {
  rx3::setDefaultInks(inks);
  inks[0].totalUsed = 3500000000LL;
  inks[0].lastPage = 2000000000LL;
  inks[7].totalUsed = -5;
  std::strcpy(inks[3].name, "ﾌｫﾄK");
  ASSERT_EQ(1, jPrintSaveInk(&record, inks));
  std::vector<std::string> got = lines(readByteVector(inkPath()));
  std::vector<std::string> want = {
      std::string(64, '-'),
      "         INK設定file for Printer ver 2.0J               ",
      std::string(64, '-'),
      "INK_NUM   = 8",
      "NAME01    = C",
      "RGB01     = 0,192,255",
      "INK01     = 220,100,10,3500000000,2000000000",
      "NAME02    = M",
      "RGB02     = 255,0,255",
      "INK02     = 220,100,10,0,0",
      "NAME03    = Y",
      "RGB03     = 255,255,0",
      "INK03     = 220,100,10,0,0",
      "NAME04    = ﾌｫﾄK",
      "RGB04     = 0,0,0",
      "INK04     = 220,100,10,0,0",
      "NAME05    = Lc",
      "RGB05     = 128,192,255",
      "INK05     = 220,100,10,0,0",
      "NAME06    = Lm",
      "RGB06     = 255,128,255",
      "INK06     = 220,100,10,0,0",
      "NAME07    = Lk",
      "RGB07     = 128,128,128",
      "INK07     = 220,100,10,0,0",
      "NAME08    = Lg",
      "RGB08     = 192,192,192",
      "INK08     = 220,100,10,-5,0",
  };
  EXPECT_EQ(want, got);
  EXPECT_EQ(56u, got[1].size());
}

TEST_F(InkFile, SavedAccountLoadsBackWhole) {
  rx3::setDefaultInks(inks);
  for (int i = 0; i < 8; ++i) {
    inks[i].totalUsed = INT64_MAX - i;
    inks[i].lastPage = INT64_MIN + i;
    inks[i].capacityMl = 700 + i;
    inks[i].color = J_RGB(i, 2 * i, 3 * i);
  }
  ASSERT_EQ(1, jPrintSaveInk(&record, inks));
  InkEntry back[8];
  EXPECT_EQ(8, jPrintLoadInk(&record, back));
  EXPECT_EQ(0, std::memcmp(inks, back, sizeof back));
}

TEST_F(InkFile, MissingFileGivesTheDefaults) {
  std::memset(inks, 0x55, sizeof inks);
  EXPECT_EQ(8, jPrintLoadInk(&record, inks));
  EXPECT_STREQ("C", inks[0].name);
  EXPECT_EQ(J_RGB(0, 192, 255), inks[0].color);
  EXPECT_STREQ("Lg", inks[7].name);
  EXPECT_EQ(J_RGB(192, 192, 192), inks[7].color);
  EXPECT_EQ(220, inks[5].capacityMl);
  EXPECT_EQ(100, inks[5].correctionPercent);
  EXPECT_EQ(10, inks[5].warningPercent);
  EXPECT_EQ(0, int64_t(inks[5].totalUsed));
  EXPECT_EQ(0, int64_t(inks[5].lastPage));
}

TEST_F(InkFile, ReadingIsTolerant) {
  ASSERT_TRUE(writeBytes(inkPath(),
                         "----\r\n"
                         "ink_num   = 6\r\n"
                         "name02    = マゼンタ\n"
                         "Rgb03     = 300,-1,256\r\n"
                         "INK01     = 500,90,5,9876543210123,4294967296\r\n"
                         "INK02     = 300,80\r\n"
                         "NAME99    = nothing\r\n"
                         "NAME00    = nothing\r\n"
                         "NAME4294967297= nothing\r\n"
                         "INK03     = 99999999999999999999,x,,99999999999999999999999,-99999999999999999999999\r\n"
                         "NAME05\r\n"
                         "RGB06 \r\n"
                         "INK07     \r\n"
                         "NAME08    = " +
                             std::string(80, 'n') + "\r\n"));
  EXPECT_EQ(6, jPrintLoadInk(&record, inks));
  EXPECT_STREQ("マゼンタ", inks[1].name);
  EXPECT_EQ(J_RGB(44, 255, 0), inks[2].color);
  EXPECT_EQ(500, inks[0].capacityMl);
  EXPECT_EQ(90, inks[0].correctionPercent);
  EXPECT_EQ(5, inks[0].warningPercent);
  EXPECT_EQ(9876543210123LL, int64_t(inks[0].totalUsed));
  EXPECT_EQ(4294967296LL, int64_t(inks[0].lastPage));
  EXPECT_EQ(300, inks[1].capacityMl);
  EXPECT_EQ(80, inks[1].correctionPercent);
  EXPECT_EQ(0, inks[1].warningPercent) << "a missing value reads as 0";
  EXPECT_EQ(INT32_MAX, inks[2].capacityMl);
  EXPECT_EQ(0, inks[2].correctionPercent);
  EXPECT_EQ(INT64_MAX, int64_t(inks[2].totalUsed));
  EXPECT_EQ(INT64_MIN, int64_t(inks[2].lastPage));
  EXPECT_STREQ("", inks[4].name) << "a line ending before the value column reads as empty";
  EXPECT_EQ(0u, inks[5].color);
  EXPECT_EQ(0, inks[6].capacityMl);
  EXPECT_EQ(std::string(31, 'n'), inks[7].name);
  EXPECT_STREQ("C", inks[0].name) << "no out-of-range line reached ink 1";
  EXPECT_STREQ("Y", inks[2].name);
}

TEST_F(InkFile, NameIsCutAtACharacterBoundary) {
  ASSERT_TRUE(writeBytes(inkPath(), "NAME01    = a" + std::string("表表表表表表表表表表表表表表表表") + "\r\n"));
  jPrintLoadInk(&record, inks);
  EXPECT_EQ("a" + std::string("表表表表表表表表表表表表表表表"), inks[0].name);
}

TEST_F(InkFile, InkCountStaysWithinTheAccount) {
  for (auto [text, count] : {std::pair{"INK_NUM   = 6", 6},
                             {"INK_NUM   = 99", 8},
                             {"INK_NUM   = -3", 0},
                             {"INK_NUM   =", 0},
                             {"INK_NUM   = x", 0}}) {
    ASSERT_TRUE(writeBytes(inkPath(), std::string(text) + "\r\n"));
    EXPECT_EQ(count, jPrintLoadInk(&record, inks)) << text;
  }
  ASSERT_EQ(1, jPrintSaveInk(&record, inks));
  EXPECT_EQ("INK_NUM   = 8", lines(readByteVector(inkPath()))[3]);
}

TEST_F(InkFile, PagesAddUpBeyondThirtyTwoBits) {
  ASSERT_EQ(1, jPrintOpenMachine(&record));
  record.state->engine.pageInk[0] = 1500000000;
  record.state->engine.pageInk[7] = 7;
  EXPECT_EQ(1, accountInk(&record, record.state ? record.state->engine.pageInk : nullptr));
  std::vector<std::string> first = lines(readByteVector(inkPath()));
  ASSERT_EQ(28u, first.size());
  EXPECT_EQ("INK01     = 220,100,10,1500000000,1500000000", first[6]);
  EXPECT_EQ("INK08     = 220,100,10,7,7", first[27]);

  record.state->engine.pageInk[0] = 2000000000;
  record.state->engine.pageInk[7] = 0;
  EXPECT_EQ(1, accountInk(&record, record.state ? record.state->engine.pageInk : nullptr));
  EXPECT_EQ(8, jPrintLoadInk(&record, inks));
  EXPECT_EQ(3500000000LL, int64_t(inks[0].totalUsed));
  EXPECT_EQ(2000000000LL, int64_t(inks[0].lastPage));
  EXPECT_EQ(7, int64_t(inks[7].totalUsed));
  EXPECT_EQ(0, int64_t(inks[7].lastPage));
}

TEST_F(InkFile, AccountingKeepsEditedValuesAndSaturates) {
  rx3::setDefaultInks(inks);
  std::strcpy(inks[1].name, "赤");
  inks[1].totalUsed = INT64_MAX - 1;
  ASSERT_EQ(1, jPrintSaveInk(&record, inks));
  ASSERT_EQ(1, jPrintOpenMachine(&record));
  record.state->engine.pageInk[1] = 10;
  record.state->engine.pageInk[2] = UINT64_MAX;
  EXPECT_EQ(1, accountInk(&record, record.state ? record.state->engine.pageInk : nullptr));
  jPrintLoadInk(&record, inks);
  EXPECT_STREQ("赤", inks[1].name);
  EXPECT_EQ(INT64_MAX, int64_t(inks[1].totalUsed));
  EXPECT_EQ(10, int64_t(inks[1].lastPage));
  EXPECT_EQ(INT64_MAX, int64_t(inks[2].lastPage));
}

TEST_F(InkFile, AccountingNeedsAnOpenRecord) {
  EXPECT_EQ(0, accountInk(&record, record.state ? record.state->engine.pageInk : nullptr));
}

TEST_F(InkFile, UnwritableFileIsReportedAndThePageStillSucceeds) {
  ASSERT_TRUE(rx3::attachDriver((folder.join("absent") + "/RX3.dll").c_str()));
  rx3::setDefaultInks(inks);
  EXPECT_EQ(0, jPrintSaveInk(&record, inks));
  ASSERT_EQ(1, jPrintOpenMachine(&record));
  EXPECT_EQ(1, accountInk(&record, record.state ? record.state->engine.pageInk : nullptr));
}

TEST_F(InkFile, DisplayNameNeverLeavesTheDriverFolder) {
  testing_support::ScratchFolder inner("h4inner");
  ASSERT_TRUE(rx3::attachDriver(inner.join("RX3.dll").c_str()));
  rx3::setDefaultInks(inks);
  for (const char* name : {"..\\escaped", "../escaped", "C:escaped", "..", ""}) {
    std::strcpy(record.displayName, name);
    EXPECT_EQ(0, jPrintSaveInk(&record, inks)) << name;
    EXPECT_EQ(8, jPrintLoadInk(&record, inks));
  }
  EXPECT_TRUE(readByteVector(folder.join("escaped.ink")).empty());
  // A 0x5C trail byte is part of the name, not a separator.
  std::strcpy(record.displayName, "表ソ");
  EXPECT_EQ(1, jPrintSaveInk(&record, inks));
  EXPECT_EQ(28u, lines(readByteVector(inner.join("表ソ.ink"))).size());
}

TEST_F(InkFile, ADisplayNameFillingAllItsBytesNamesTheWholeFile) {
  std::memset(record.displayName, 'N', sizeof record.displayName);  // no terminator
  rx3::setDefaultInks(inks);
  EXPECT_EQ(1, jPrintSaveInk(&record, inks));
  EXPECT_EQ(28u, lines(readByteVector(folder.join((std::string(64, 'N') + ".ink").c_str()))).size());
}

TEST(InkDecimal, ReadsLikeTheRuntimeButSaturates) {
  EXPECT_EQ(0, rx3::readDecimal(""));
  EXPECT_EQ(0, rx3::readDecimal("-"));
  EXPECT_EQ(-12, rx3::readDecimal("  -12x"));
  EXPECT_EQ(7, rx3::readDecimal("\t+7"));
  EXPECT_EQ(LLONG_MAX, rx3::readDecimal("9223372036854775807"));
  EXPECT_EQ(LLONG_MAX, rx3::readDecimal("9223372036854775808"));
  EXPECT_EQ(LLONG_MIN, rx3::readDecimal("-9223372036854775808"));
  EXPECT_EQ(LLONG_MIN, rx3::readDecimal("-99999999999999999999"));
}

}  // namespace
