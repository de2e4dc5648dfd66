// The rules behind the printer setup, port and ink dialogs, without windows.
#include <cstring>
#include <string>

#include "driver/ink/ink_dialog_rows.h"
#include "driver/machines/driver_fixture.h"
#include "driver/machines/port_dialog_rules.h"
#include "driver/machines/printer_setup_dialog_rules.h"

namespace {

class PaperRules : public DriverFixture {
 protected:
  void SetUp() override {
    DriverFixture::SetUp();
    row = rx3::machineRowForUpdate(kRx3);
    ASSERT_NE(row, nullptr);
    std::memset(&state, 0, sizeof state);
    ASSERT_EQ(2, rx3::reloadPapers(row, folder.path().c_str(), 0));
  }
  rx3::MachineInfo* row = nullptr;
  MachineState state;
};

TEST_F(PaperRules, SelectingAPaperGivesFullColourFilesAndTheResolutionItNames) {
  int resolution = -2;
  ASSERT_TRUE(rx3::selectPaper(*row, &state, folder.path().c_str(), 1, &resolution));
  EXPECT_EQ(1, state.profileIndex);
  EXPECT_EQ(1, resolution) << "(1440x720)";
  ASSERT_TRUE(rx3::selectPaper(*row, &state, folder.path().c_str(), 0, &resolution));
  EXPECT_EQ(0, resolution) << "(720x720)";
  EXPECT_EQ(folder.join("PLAIN.ct1"), state.profile.colorFile1);
  EXPECT_STREQ("PLAIN.ct1", row->profiles[0].colorFile1) << "the table keeps bare names";
  EXPECT_FALSE(rx3::selectPaper(*row, &state, folder.path().c_str(), 2, &resolution));
  EXPECT_EQ(0, state.profileIndex);
}

TEST_F(PaperRules, AnAdditionIsMarkedWhileItsNameLeavesRoom) {
  std::memset(state.profile.name, 'a', 62);
  state.profile.fixed = 1;
  ColorProfile marked = rx3::additionTemplate(state);
  EXPECT_EQ(0, marked.fixed);
  EXPECT_EQ(std::string(62, 'a') + "+", marked.name);
  std::memset(state.profile.name, 'b', 63);
  EXPECT_EQ(std::string(63, 'b'), rx3::additionTemplate(state).name);
}

TEST_F(PaperRules, AChangeThatCannotBeSavedLeavesListAndStateAsTheyWere) {
  rx3::MachineInfo before = *row;
  state.profileIndex = 1;
  MachineState stateBefore = state;
  ColorProfile added = rx3::additionTemplate(state);
  const std::string missing = folder.join("no such folder");
  EXPECT_EQ(rx3::PaperChange::kSaveFailed, rx3::commitPaper(row, &state, missing.c_str(), added, true));
  EXPECT_EQ(rx3::PaperChange::kSaveFailed, rx3::deletePaper(row, &state, missing.c_str()));
  EXPECT_EQ(0, std::memcmp(&before, row, sizeof before));
  EXPECT_EQ(0, std::memcmp(&stateBefore, &state, sizeof state));
}

struct InkEntryCase {
  rx3::InkColumn column;
  const char* typed;
  int32_t shown;
  int64_t stored;
};

TEST(InkRows, EntriesAreClampedToTheirColumnAndReadWhole) {
  const InkEntryCase cases[] = {
      {rx3::InkColumn::kCapacity, "5", 10, 10},
      {rx3::InkColumn::kCapacity, "10000", 10000, 10000},
      {rx3::InkColumn::kCapacity, "123456", 10000, 10000},
      {rx3::InkColumn::kCapacity, "abc", 10, 10},
      {rx3::InkColumn::kWarning, "150", 100, 100},
      {rx3::InkColumn::kWarning, "-3", 0, 0},
      {rx3::InkColumn::kCorrection, "1001", 1000, 1000},
      {rx3::InkColumn::kUsage, "3", 3, 3000000000LL},
      {rx3::InkColumn::kUsage, "99999", 10000, 10000000000000LL},
  };
  for (const InkEntryCase& c : cases) {
    InkEntry ink{};
    rx3::takeInkValue(&ink, c.column, c.typed);
    EXPECT_EQ(c.shown, rx3::shownInkValue(ink, c.column)) << c.typed;
    int64_t stored = c.column == rx3::InkColumn::kUsage      ? ink.totalUsed
                     : c.column == rx3::InkColumn::kCapacity ? ink.capacityMl
                     : c.column == rx3::InkColumn::kWarning  ? ink.warningPercent
                                                             : ink.correctionPercent;
    EXPECT_EQ(c.stored, stored) << c.typed;
  }
  InkEntry used{};
  used.totalUsed = 1999999999;
  EXPECT_EQ(1, rx3::shownInkValue(used, rx3::InkColumn::kUsage));
}

TEST(InkRows, EveryIdNamesOneControlAndIsFoundAgain) {
  int seen = 0;
  for (int ink = 0; ink < 8; ++ink) {
    for (int c = 0; c < rx3::kInkColumnCount; ++c) {
      rx3::InkField field{};
      ASSERT_TRUE(rx3::findInkField(rx3::kInkRowIds[ink].field[c], &field));
      EXPECT_EQ(ink, field.ink);
      EXPECT_EQ(c, static_cast<int>(field.column));
      ++seen;
    }
    EXPECT_EQ(ink, rx3::findInkReset(rx3::kInkRowIds[ink].reset));
    rx3::InkField none{};
    EXPECT_FALSE(rx3::findInkField(rx3::kInkRowIds[ink].reset, &none));
    EXPECT_FALSE(rx3::findInkField(rx3::kInkRowIds[ink].nameBox, &none));
  }
  EXPECT_EQ(32, seen);
  EXPECT_EQ(-1, rx3::findInkReset(1));
}

TEST(PortRules, SpoolLimitsOutsideTheRangeAreRefusedNotBent) {
  struct Case {
    const char* typed;
    bool taken;
    int32_t limit;
  };
  const Case cases[] = {{"0", true, 0},     {"1000", true, 1000}, {" 250 ", true, 250},
                        {"1001", false, 0}, {"5000", false, 0},   {"-1", false, 0},
                        {"", false, 0},     {"12a", false, 0},    {"10000", false, 0}};
  for (const Case& c : cases) {
    int32_t limit = -7;
    EXPECT_EQ(c.taken, rx3::readSpoolLimit(c.typed, &limit)) << c.typed;
    EXPECT_EQ(c.taken ? c.limit : -7, limit) << c.typed;
  }
}

TEST(PortRules, OnlyANetworkFolderNamesItsOwnRegistry) {
  char path[260];
  EXPECT_TRUE(rx3::networkRegistryPath("\\\\server\\drivers", path, sizeof path));
  EXPECT_EQ(0, std::strncmp(path, "\\\\server\\drivers", 16));
  EXPECT_STREQ("DEVICE.rgs", path + 17);
  EXPECT_FALSE(rx3::networkRegistryPath("C:\\drivers", path, sizeof path));
  EXPECT_STREQ("", path);
  EXPECT_FALSE(rx3::networkRegistryPath(("\\" + std::string(300, 'x')).c_str(), path, sizeof path));
}

}  // namespace
