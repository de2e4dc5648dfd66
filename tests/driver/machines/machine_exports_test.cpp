#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "driver/machines/driver_fixture.h"
#include "driver/machines/machine_records.h"

namespace {

std::vector<DeviceRecord> g_seen;

int collect(DeviceRecord* record) {
  g_seen.push_back(*record);
  return 0;
}

std::vector<int> enumerateFor(const char* keyword, int* result) {
  jOemSetText(keyword);
  g_seen.clear();
  *result = jPrintEnumMachine(collect);
  std::vector<int> indexes;
  for (const DeviceRecord& r : g_seen) indexes.push_back(r.machineIndex);
  return indexes;
}

using MachineExports = DriverFixture;

TEST_F(MachineExports, EnumerationOffersEachLineToItsHosts) {
  struct Case {
    const char* keyword;
    std::vector<int> rows;
  } cases[] = {
      {"Bannerforge", {3, 4, 5}}, {"Tagwright", {3, 4, 5}},    {"Other", {0, 1, 2}}, {"", {0, 1, 2}},
      {"tagwright", {0, 1, 2}},   {"Bannerforge ", {0, 1, 2}},
  };
  for (const Case& c : cases) {
    int result = 0;
    EXPECT_EQ(c.rows, enumerateFor(c.keyword, &result)) << "keyword '" << c.keyword << "'";
    EXPECT_EQ(6, result);
  }
}

TEST_F(MachineExports, EnumeratedRecordIsClosedAt720Dpi) {
  int result = 0;
  enumerateFor("", &result);
  ASSERT_EQ(3u, g_seen.size());
  const DeviceRecord& r = g_seen[2];
  EXPECT_EQ(2, r.machineIndex);
  EXPECT_STREQ("EPSON RX-3", r.displayName);
  EXPECT_EQ(pluginPath(), r.driverPath);
  EXPECT_EQ(1, r.recordFlag);
  EXPECT_EQ(720, r.xResolution);
  EXPECT_EQ(720, r.yResolution);
  EXPECT_EQ(0, r.inchUnits);
  EXPECT_EQ(nullptr, r.state);
  EXPECT_EQ(0, r.spoolMode);
  EXPECT_STREQ("", r.outputFile);
}

TEST_F(MachineExports, OpeningTwiceLeavesOneState) {
  DeviceRecord r = enumerated(kRx3);
  int before = jMemCheck();
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  EXPECT_EQ(before + 1, jMemCheck());
  EXPECT_EQ(1, jPrintCloseMachine(&r));
  EXPECT_EQ(nullptr, r.state);
  EXPECT_EQ(before, jMemCheck());
  EXPECT_EQ(1, jPrintCloseMachine(&r));
}

TEST_F(MachineExports, OpenFillsDefaultsPaperZeroAndTheCurrentPort) {
  DeviceRecord r = enumerated(kRx3);
  r.xResolution = 1440;
  r.spoolMode = 2;
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  const MachineState& s = *r.state;
  EXPECT_EQ(1440, s.xResolution);
  EXPECT_EQ(720, s.yResolution);
  EXPECT_EQ(1, s.bidirectional);
  EXPECT_EQ(1, s.paperCut);
  EXPECT_EQ(0, s.marginMode);
  EXPECT_EQ(0, s.inkSet);
  EXPECT_EQ(0, s.profileIndex);
  EXPECT_STREQ("普通紙 (720x720)", s.profile.name);
  EXPECT_EQ(folder.file("PLAIN.ct1"), s.profile.colorFile1);
  EXPECT_EQ(folder.file("PLAIN.ct2"), s.profile.colorFile2);
  EXPECT_EQ(120, s.profile.inkLimit);
  EXPECT_EQ(2, s.spoolMode);
  EXPECT_EQ(0, s.spoolLimitMB);
  EXPECT_EQ(nullptr, s.engine.spoolHandle);
  EXPECT_EQ(folder.path(), s.driverDirectory);
  EXPECT_STREQ("RX3 出力", s.deviceName);
  EXPECT_STREQ("FILE:C:\\ｿ表\\out", s.portName);
  jPrintCloseMachine(&r);
}

TEST_F(MachineExports, MachineWithoutProfileFileOpensWithTheResetProfile) {
  EXPECT_EQ(0, rx3::machineRow(0)->profileCount);
  EXPECT_EQ(2, rx3::machineRow(kRx3)->profileCount);
  DeviceRecord r = enumerated(0);
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  ColorProfile reset;
  jColorProfileInit(&reset);
  EXPECT_EQ(0, std::memcmp(&reset, &r.state->profile, sizeof reset));
  jPrintCloseMachine(&r);
}

TEST_F(MachineExports, OpenRefusesAMachineIndexOutsideTheTable) {
  DeviceRecord r = enumerated(kRx3);
  for (int index : {-1, 6, 1000}) {
    r.machineIndex = index;
    EXPECT_EQ(0, jPrintOpenMachine(&r));
    EXPECT_EQ(nullptr, r.state);
  }
}

TEST_F(MachineExports, NamesNeedAnOpenRecordAndAreBounded) {
  DeviceRecord r = enumerated(kRx3);
  char device[260] = "old";
  char port[260] = "old";
  EXPECT_EQ(0, jPrintGetDeviceName(&r, device, port));
  EXPECT_STREQ("", device);
  EXPECT_STREQ("", port);
  EXPECT_EQ(0, jPrintSetDeviceName(&r, "A", "B"));

  ASSERT_EQ(1, jPrintOpenMachine(&r));
  EXPECT_EQ(1, jPrintSetDeviceName(&r, std::string(259, 'd').c_str(), "LPT1:"));
  EXPECT_EQ(1, jPrintGetDeviceName(&r, device, port));
  EXPECT_EQ(std::string(259, 'd'), device);
  EXPECT_STREQ("LPT1:", port);
  // A name that does not fit is refused whole: a cut port names another file.
  EXPECT_EQ(0, jPrintSetDeviceName(&r, "new", ("FILE:C:\\" + std::string(300, 'x')).c_str()));
  EXPECT_EQ(0, jPrintSetDeviceName(&r, std::string(260, 'd').c_str(), "LPT2:"));
  EXPECT_EQ(1, jPrintGetDeviceName(&r, device, port));
  EXPECT_EQ(std::string(259, 'd'), device);
  EXPECT_STREQ("LPT1:", port);
  jPrintCloseMachine(&r);
}

TEST_F(MachineExports, StoredNamesArePaddedWithZerosSoSavesRepeatByteForByte) {
  DeviceRecord r = enumerated(kRx3);
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  std::memset(r.state->deviceName, 0xAA, sizeof r.state->deviceName);
  std::memset(r.state->portName, 0xAA, sizeof r.state->portName);
  ASSERT_EQ(1, jPrintSetDeviceName(&r, "dev", "LPT1:"));
  const std::string device(r.state->deviceName, sizeof r.state->deviceName);
  const std::string port(r.state->portName, sizeof r.state->portName);
  EXPECT_EQ(std::string("dev") + std::string(257, '\0'), device);
  EXPECT_EQ(std::string("LPT1:") + std::string(255, '\0'), port);
  jPrintCloseMachine(&r);
}

TEST_F(MachineExports, ClosingReopeningOrLoadingDuringAJobEndsTheJobAndFreesItsBuffers) {
  testing_support::ScratchFolder out("h4job-out");
  for (const char* step : {"close", "reopen", "load"}) {
    SCOPED_TRACE(step);
    const int before = jMemCheck();
    DeviceRecord r = enumerated(kRx3);
    ASSERT_EQ(1, jPrintOpenMachine(&r));
    ASSERT_EQ(1, jPrintSetDeviceName(&r, "job", ("FILE:" + out.path()).c_str()));
    ASSERT_EQ(1, jPrintSaveMachine(&r));
    jGdc drawing{};
    jHostJobContext context{};
    context.drawContext = &drawing;
    context.device = &r;
    ASSERT_EQ(1, jPrintStartDoc(&context));
    ASSERT_EQ(1, jPrintStartPage(&context, 0, 0, 10, 10));
    const std::string s = step;
    const int done = s == "close"    ? jPrintCloseMachine(&r)
                     : s == "reopen" ? jPrintOpenMachine(&r)
                                     : jPrintLoadMachine(&r);
    EXPECT_EQ(1, done);
    EXPECT_EQ(s == "close" ? before : before + 1, jMemCheck()) << "only the new state is left";
    jPrintCloseMachine(&r);
    EXPECT_EQ(before, jMemCheck());
  }
  // The channel and the colour transform are checked by the leak sanitizer.
}

TEST_F(MachineExports, ProfileOfAClosedRecordIsTheResetOne) {
  DeviceRecord r = enumerated(kRx3);
  ColorProfile reset;
  jColorProfileInit(&reset);
  ColorProfile got = jPrintGetCpf(&r);
  EXPECT_EQ(0, std::memcmp(&reset, &got, sizeof got));
  EXPECT_EQ(0, jPrintSetCpf(&r, got));

  ASSERT_EQ(1, jPrintOpenMachine(&r));
  std::snprintf(got.name, sizeof got.name, "ﾏｯﾄ紙");
  got.inkLimit = 99;
  EXPECT_EQ(1, jPrintSetCpf(&r, got));
  ColorProfile back = jPrintGetCpf(&r);
  EXPECT_STREQ("ﾏｯﾄ紙", back.name);
  EXPECT_EQ(99, back.inkLimit);
  jPrintCloseMachine(&r);
}

jGdc g_context;

TEST_F(MachineExports, SetupPassesDotsPerMillimetreOrPerInch) {
  DeviceRecord r = enumerated(kRx3);
  jHostJobContext context{};
  context.drawContext = &g_context;
  context.device = &r;
  EXPECT_EQ(1, jPrintSetup(&context));
  EXPECT_NEAR(28.346457, g_context.dotsPerUnitX, 1e-5);
  EXPECT_NEAR(28.346457, g_context.dotsPerUnitY, 1e-5);
  r.inchUnits = 1;
  r.yResolution = 1440;
  EXPECT_EQ(1, jPrintSetup(&context));
  EXPECT_EQ(720.0f, g_context.dotsPerUnitX);
  EXPECT_EQ(1440.0f, g_context.dotsPerUnitY);
}

// The dialog step of the setup export, played by the tests.
int g_dialogResult;
int dialogEditingCopy(DeviceRecord* copy, jHWND) {
  copy->state->marginMode = 3;
  std::snprintf(copy->state->deviceName, sizeof copy->state->deviceName, "edited");
  return g_dialogResult;
}

class SetupMachine : public DriverFixture {
 protected:
  void TearDown() override {
    rx3::setPrinterSetupDialog(nullptr);
    DriverFixture::TearDown();
  }
};

TEST_F(SetupMachine, CancelLeavesTheStateByteForByte) {
  DeviceRecord r = enumerated(kRx3);
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  r.state->inkSet = 1;
  MachineState before;
  std::memcpy(&before, r.state, sizeof before);
  MachineState* stateBefore = r.state;
  int blocks = jMemCheck();

  rx3::setPrinterSetupDialog(dialogEditingCopy);
  g_dialogResult = 0;
  EXPECT_EQ(0, jPrintSetupMachine(&r, nullptr));
  EXPECT_EQ(stateBefore, r.state);
  EXPECT_EQ(0, std::memcmp(&before, r.state, sizeof before));
  EXPECT_EQ(blocks, jMemCheck());
  jPrintCloseMachine(&r);
}

TEST_F(SetupMachine, OkHandsTheEditedCopyToTheCaller) {
  DeviceRecord r = enumerated(kRx3);
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  r.state->inkSet = 1;
  int blocks = jMemCheck();
  rx3::setPrinterSetupDialog(dialogEditingCopy);
  g_dialogResult = 1;
  EXPECT_EQ(1, jPrintSetupMachine(&r, nullptr));
  EXPECT_EQ(3, r.state->marginMode);
  EXPECT_EQ(1, r.state->inkSet);
  EXPECT_STREQ("edited", r.state->deviceName);
  EXPECT_EQ(blocks, jMemCheck());
  jPrintCloseMachine(&r);
}

TEST_F(SetupMachine, WithoutADialogOrAnOpenRecordNothingChanges) {
  DeviceRecord r = enumerated(kRx3);
  EXPECT_EQ(0, jPrintSetupMachine(&r, nullptr));
  EXPECT_EQ(nullptr, r.state);
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  int blocks = jMemCheck();
  EXPECT_EQ(0, jPrintSetupMachine(&r, nullptr));
  EXPECT_EQ(blocks, jMemCheck());
  EXPECT_EQ(0, r.state->marginMode);
  jPrintCloseMachine(&r);
}

TEST(MachineTable, RowsFollowTheModelTable) {
  testing_support::ScratchFolder folder("h4tbl");
  ASSERT_TRUE(rx3::attachDriver(folder.file("RX3.dll").c_str()));
  const char* names[] = {"EPSON RX-1", "EPSON RX-2", "EPSON RX-3", "LumoraLX1", "LumoraLX2", "LumoraLX3"};
  const char* cpf[] = {"RX1.cpf", "RX2.cpf", "RX3.cpf", "LX1.cpf", "LX2.cpf", "LX3.cpf"};
  for (int i = 0; i < 6; ++i) {
    const rx3::MachineInfo* row = rx3::machineRow(i);
    ASSERT_NE(nullptr, row);
    EXPECT_STREQ(names[i], row->displayName);
    EXPECT_STREQ(cpf[i], row->cpfName);
    EXPECT_EQ(i, row->index);
    EXPECT_EQ(i >= 3, rx3::isLumoraRow(*row));
    EXPECT_EQ(720, row->resolutions[0].x);
    EXPECT_EQ(1440, row->resolutions[1].x);
    EXPECT_EQ(720, row->resolutions[1].y);
    EXPECT_EQ(1440, row->resolutions[2].y);
    EXPECT_EQ(0, row->resolutions[3].x);
  }
  EXPECT_EQ(nullptr, rx3::machineRow(6));
  rx3::detachDriver();
  EXPECT_EQ(nullptr, rx3::machineRow(0));
}

TEST(MachineTable, AttachRefusesAPathThatDoesNotFit) {
  std::string longPath = "/" + std::string(300, 'a') + "/RX3.dll";
  EXPECT_FALSE(rx3::attachDriver(longPath.c_str()));
  EXPECT_FALSE(rx3::driverModule().attached);
}

}  // namespace
