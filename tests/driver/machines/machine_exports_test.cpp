#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "driver/ink/ink_account.h"
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
  EXPECT_EQ(folder.join("PLAIN.ct1"), s.profile.colorFile1);
  EXPECT_EQ(folder.join("PLAIN.ct2"), s.profile.colorFile2);
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
  ASSERT_TRUE(rx3::attachDriver(folder.join("RX3.dll").c_str()));
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

// A job's settings image from another installation: the job's choices come
// over, this installation's folder, colour files, spool choice and port stay.
TEST_F(MachineExports, AJobsSettingsImageKeepsWhatBelongsToThisInstallation) {
  DeviceRecord r = enumerated(kRx3);
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  MachineState job = *r.state;
  job.xResolution = 1440;
  job.marginMode = 2;
  std::strcpy(job.profile.colorFile1, "D:\\other\\GLOSSY.ct1");
  std::strcpy(job.driverDirectory, "D:\\other");
  job.spoolMode = 2;
  std::strcpy(job.portName, "FILE:elsewhere");
  const MachineState before = *r.state;
  struct Case {
    const char* what;
    int size;
    int32_t resolution;
  } const refused[] = {{"a size of another plug-in", static_cast<int>(kMachineSettingsBytes) - 4, 1440},
                       {"no resolution", static_cast<int>(kMachineSettingsBytes), 0}};
  for (const Case& c : refused) {
    MachineState bad = job;
    bad.xResolution = c.resolution;
    EXPECT_EQ(0, jPrintSetSettings(&r, &bad, c.size)) << c.what;
    EXPECT_EQ(0, std::memcmp(&before, r.state, kMachineSettingsBytes)) << c.what;
  }
  ASSERT_EQ(1, jPrintSetSettings(&r, &job, static_cast<int>(kMachineSettingsBytes)));
  const MachineState& s = *r.state;
  EXPECT_EQ(1440, r.xResolution);
  EXPECT_EQ(1440, s.xResolution);
  EXPECT_EQ(2, s.marginMode);
  EXPECT_EQ(folder.join("GLOSSY.ct1"), s.profile.colorFile1);
  EXPECT_EQ(folder.path(), s.driverDirectory);
  EXPECT_EQ(before.spoolMode, s.spoolMode);
  EXPECT_STREQ(before.portName, s.portName);
  jPrintCloseMachine(&r);
}

// A dry run counts a page into an empty scratch account, sends straight to
// the port, and leaves the machine's account and the plug-in's folder as
// they were.
TEST_F(MachineExports, ADryRunCountsIntoAScratchAccountThatGoesWithIt) {
  DeviceRecord r = enumerated(kRx3);
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  r.state->spoolMode = 1;
  r.spoolMode = 1;
  InkEntry real[8];
  jPrintLoadInk(&r, real);
  real[0].totalUsed = 5000;
  ASSERT_EQ(1, jPrintSaveInk(&r, real));
  const std::vector<unsigned char> account = testing_support::readByteVector(folder.join("EPSON RX-3.ink"));
  std::vector<std::string> files;
  auto list = [&] {
    std::vector<std::string> names;
    platform::listFolder(folder.path().c_str(), [&](const platform::FolderEntry& e) {
      names.push_back(e.name);
      return true;
    });
    return names;
  };
  files = list();

  ASSERT_EQ(1, jPrintBeginDryRun(&r));
  EXPECT_EQ(0, jPrintBeginDryRun(&r)) << "one run at a time";
  EXPECT_EQ(0, r.state->spoolMode);
  InkEntry inks[8];
  jPrintLoadInk(&r, inks);
  EXPECT_EQ(0, static_cast<int64_t>(inks[0].totalUsed));
  const uint64_t page[8] = {700, 0, 0, 0, 0, 0, 0, 30};
  ASSERT_EQ(1, accountInk(&r, page));
  jPrintLoadInk(&r, inks);
  EXPECT_EQ(700, static_cast<int64_t>(inks[0].totalUsed));
  EXPECT_EQ(30, static_cast<int64_t>(inks[7].totalUsed));

  ASSERT_EQ(1, jPrintEndDryRun(&r));
  EXPECT_EQ(folder.path(), r.state->driverDirectory);
  EXPECT_EQ(1, r.state->spoolMode);
  EXPECT_EQ(files, list()) << "no scratch left behind";
  EXPECT_EQ(account, testing_support::readByteVector(folder.join("EPSON RX-3.ink")));
  jPrintLoadInk(&r, inks);
  EXPECT_EQ(5000, static_cast<int64_t>(inks[0].totalUsed));
  jPrintCloseMachine(&r);
}
