#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "driver/machines/driver_fixture.h"
#include "driver/machines/record_codec.h"

namespace {

using testing_support::readByteVector;
using testing_support::writeBytes;

int32_t le32(const std::vector<unsigned char>& b, std::size_t at) {
  return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24);
}

class SettingsFile : public DriverFixture {
 protected:
  std::string settingsPath() const { return folder.join("RX3.dev"); }

  DeviceRecord openEdited() {
    DeviceRecord r = enumerated(kRx3);
    r.xResolution = 1440;
    r.inchUnits = 1;
    r.spoolMode = 1;
    std::snprintf(r.outputFile, sizeof r.outputFile, "out.prn");
    EXPECT_EQ(1, jPrintOpenMachine(&r));
    MachineState& s = *r.state;
    s.bidirectional = 0;
    s.paperCut = -1;
    s.marginMode = 2;
    s.inkSet = 1;
    s.profileIndex = 1;
    s.spoolLimitMB = 500;
    std::snprintf(s.deviceName, sizeof s.deviceName, "保存した装置");
    std::snprintf(s.portName, sizeof s.portName, "TCP:printer:9100");
    return r;
  }
};

TEST_F(SettingsFile, ClosedRecordWrites612BytesAndLoadsClosed) {
  DeviceRecord r = enumerated(kRx3);
  r.yResolution = 1440;
  ASSERT_EQ(1, jPrintSaveMachine(&r));
  std::vector<unsigned char> bytes = readByteVector(settingsPath());
  ASSERT_EQ(612u, bytes.size());
  EXPECT_EQ(2, le32(bytes, 0));
  EXPECT_EQ(0, std::memcmp(&bytes[4], "EPSON RX-3", 11));
  EXPECT_EQ(1440, le32(bytes, 336));
  EXPECT_EQ(0, le32(bytes, 344));

  DeviceRecord fresh = enumerated(kRx3);
  EXPECT_EQ(0, jPrintLoadMachine(&fresh));
  EXPECT_EQ(nullptr, fresh.state);
  EXPECT_EQ(1440, fresh.yResolution);
}

TEST_F(SettingsFile, OpenRecordWrites2808BytesWithoutReferences) {
  DeviceRecord r = openEdited();
  r.state->engine.spoolHandle = reinterpret_cast<jSPOOL>(&r);
  r.state->engine.separation = reinterpret_cast<int16_t*>(&r);
  r.state->engine.colorTransform = reinterpret_cast<jCMS>(&r);
  r.state->engine.pageInk[0] = 0x0102030405060708ull;
  r.state->engine.dropletLarge = 42;
  ASSERT_EQ(1, jPrintSaveMachine(&r));
  std::vector<unsigned char> b = readByteVector(settingsPath());
  ASSERT_EQ(2808u, b.size());
  EXPECT_EQ(1, le32(b, 344));
  EXPECT_EQ(1440, le32(b, 332));
  EXPECT_EQ(1, le32(b, 340));
  EXPECT_EQ(1, le32(b, 348));
  EXPECT_EQ(0, std::memcmp(&b[352], "out.prn", 8));
  const std::size_t s = 612;
  EXPECT_EQ(1440, le32(b, s + 0));
  EXPECT_EQ(0, le32(b, s + 8));
  EXPECT_EQ(-1, le32(b, s + 12));
  EXPECT_EQ(1, le32(b, s + 20));
  EXPECT_EQ(0, std::memcmp(&b[s + 28], "普通紙", 6));
  EXPECT_EQ(0, std::memcmp(&b[s + 1204], "保存した装置", 12));
  EXPECT_EQ(500, le32(b, s + 1728));
  EXPECT_EQ(0, le32(b, s + 1992)) << "spool handle";
  EXPECT_EQ(0, le32(b, s + 1992 + 12)) << "separation buffer";
  EXPECT_EQ(0, le32(b, s + 1992 + 100)) << "colour transform";
  EXPECT_EQ(0x05060708, le32(b, s + 2120));
  EXPECT_EQ(0x01020304, le32(b, s + 2124));
  EXPECT_EQ(42, le32(b, s + 2192));
  r.state->engine = EngineState{};
  jPrintCloseMachine(&r);
}

TEST_F(SettingsFile, LoadRestoresTheSavedMachine) {
  DeviceRecord saved = openEdited();
  ASSERT_EQ(1, jPrintSaveMachine(&saved));
  DeviceRecord r = enumerated(kRx3);
  ASSERT_EQ(1, jPrintLoadMachine(&r));
  ASSERT_NE(nullptr, r.state);
  EXPECT_EQ(1440, r.xResolution);
  EXPECT_EQ(1, r.inchUnits);
  EXPECT_STREQ("out.prn", r.outputFile);
  EXPECT_EQ(0, r.state->bidirectional);
  EXPECT_EQ(-1, r.state->paperCut);
  EXPECT_EQ(2, r.state->marginMode);
  EXPECT_EQ(1, r.state->inkSet);
  EXPECT_EQ(1, r.state->profileIndex);
  EXPECT_STREQ("保存した装置", r.state->deviceName);
  EXPECT_STREQ("TCP:printer:9100", r.state->portName);
  EXPECT_EQ(1, r.state->spoolMode);
  EXPECT_EQ(500, r.state->spoolLimitMB);
  EXPECT_EQ(0, std::memcmp(saved.state, r.state, sizeof(MachineState)));
  jPrintCloseMachine(&saved);
  jPrintCloseMachine(&r);
}

TEST_F(SettingsFile, DisplayNameMatchesIgnoringCaseOverTheCallersLength) {
  DeviceRecord saved = openEdited();
  ASSERT_EQ(1, jPrintSaveMachine(&saved));
  jPrintCloseMachine(&saved);
  for (const char* name : {"epson rx-3", "EPSON", "", "Epson RX-3"}) {
    DeviceRecord r = enumerated(kRx3);
    std::snprintf(r.displayName, sizeof r.displayName, "%s", name);
    EXPECT_EQ(1, jPrintLoadMachine(&r)) << "'" << name << "'";
    EXPECT_STREQ("EPSON RX-3", r.displayName);
    EXPECT_EQ(pluginPath(), r.driverPath);
    jPrintCloseMachine(&r);
  }
}

TEST_F(SettingsFile, AnotherMachineSavedLastDoesNotLoad) {
  DeviceRecord a = enumerated(kRx3);
  DeviceRecord b = enumerated(1);
  ASSERT_EQ(1, jPrintOpenMachine(&a));
  ASSERT_EQ(1, jPrintOpenMachine(&b));
  ASSERT_EQ(1, jPrintSaveMachine(&a));
  ASSERT_EQ(1, jPrintSaveMachine(&b));
  MachineState* before = a.state;
  a.xResolution = 333;
  EXPECT_EQ(0, jPrintLoadMachine(&a));
  EXPECT_EQ(before, a.state);
  EXPECT_EQ(333, a.xResolution);
  jPrintCloseMachine(&a);
  jPrintCloseMachine(&b);
}

TEST_F(SettingsFile, LoadReleasesTheCallersOldState) {
  DeviceRecord saved = openEdited();
  ASSERT_EQ(1, jPrintSaveMachine(&saved));
  jPrintCloseMachine(&saved);
  DeviceRecord r = enumerated(kRx3);
  ASSERT_EQ(1, jPrintOpenMachine(&r));
  int blocks = jMemCheck();
  ASSERT_EQ(1, jPrintLoadMachine(&r));
  EXPECT_EQ(blocks, jMemCheck());
  jPrintCloseMachine(&r);
}

// A stored reference is whatever some process held: never freed, never read.
TEST_F(SettingsFile, StoredStateReferenceIsNeverFollowed) {
  DeviceRecord saved = openEdited();
  ASSERT_EQ(1, jPrintSaveMachine(&saved));
  jPrintCloseMachine(&saved);
  std::vector<unsigned char> b = readByteVector(settingsPath());
  const unsigned char wild[4] = {0xEF, 0xBE, 0xAD, 0xDE};
  std::memcpy(&b[344], wild, 4);
  ASSERT_TRUE(writeBytes(settingsPath(), b.data(), b.size()));
  DeviceRecord r = enumerated(kRx3);
  ASSERT_EQ(1, jPrintLoadMachine(&r));
  EXPECT_EQ(2, r.state->marginMode);
  jPrintCloseMachine(&r);

  // The same with only the record stored: the record ends closed.
  ASSERT_TRUE(writeBytes(settingsPath(), b.data(), 612));
  DeviceRecord closed = enumerated(kRx3);
  ASSERT_EQ(1, jPrintOpenMachine(&closed));
  int blocks = jMemCheck();
  EXPECT_EQ(0, jPrintLoadMachine(&closed));
  EXPECT_EQ(nullptr, closed.state);
  EXPECT_EQ(blocks - 1, jMemCheck());
}

TEST_F(SettingsFile, TruncatedFilesDoNotLoad) {
  DeviceRecord saved = openEdited();
  ASSERT_EQ(1, jPrintSaveMachine(&saved));
  jPrintCloseMachine(&saved);
  std::vector<unsigned char> b = readByteVector(settingsPath());

  ASSERT_TRUE(writeBytes(settingsPath(), b.data(), 611));
  DeviceRecord r = enumerated(kRx3);
  r.xResolution = 333;
  EXPECT_EQ(0, jPrintLoadMachine(&r));
  EXPECT_EQ(333, r.xResolution) << "a short record leaves the caller's record alone";

  ASSERT_TRUE(writeBytes(settingsPath(), b.data(), 2807));
  EXPECT_EQ(0, jPrintLoadMachine(&r));
  EXPECT_EQ(nullptr, r.state);
  EXPECT_EQ(1440, r.xResolution) << "the stored record was taken before the state turned out short";

  ASSERT_TRUE(writeBytes(settingsPath(), "", 0));
  EXPECT_EQ(0, jPrintLoadMachine(&r));
}

TEST_F(SettingsFile, StoredMachineIndexOutsideTheTableDoesNotLoad) {
  DeviceRecord saved = openEdited();
  ASSERT_EQ(1, jPrintSaveMachine(&saved));
  jPrintCloseMachine(&saved);
  std::vector<unsigned char> b = readByteVector(settingsPath());
  b[0] = 0x40;
  ASSERT_TRUE(writeBytes(settingsPath(), b.data(), b.size()));
  DeviceRecord r = enumerated(kRx3);
  EXPECT_EQ(0, jPrintLoadMachine(&r));
  EXPECT_EQ(2, r.machineIndex);
  EXPECT_EQ(nullptr, r.state);
}

TEST_F(SettingsFile, UnterminatedStoredTextsAreCutAtTheirFields) {
  DeviceRecord saved = openEdited();
  ASSERT_EQ(1, jPrintSaveMachine(&saved));
  jPrintCloseMachine(&saved);
  std::vector<unsigned char> b = readByteVector(settingsPath());
  std::memset(&b[612 + 1204], 'D', 260);  // device name without its NUL
  std::memset(&b[352], 'O', 260);         // output file without its NUL
  ASSERT_TRUE(writeBytes(settingsPath(), b.data(), b.size()));
  DeviceRecord r = enumerated(kRx3);
  ASSERT_EQ(1, jPrintLoadMachine(&r));
  EXPECT_EQ(259u, std::strlen(r.state->deviceName));
  EXPECT_EQ(259u, std::strlen(r.outputFile));
  jPrintCloseMachine(&r);
}

TEST_F(SettingsFile, LoadAfterTheFolderMovedRebasesOnlyTheColourFiles) {
  DeviceRecord saved = openEdited();
  ASSERT_EQ(1, jPrintSaveMachine(&saved));
  jPrintCloseMachine(&saved);
  std::vector<unsigned char> b = readByteVector(settingsPath());

  testing_support::ScratchFolder moved("h4moved");
  ASSERT_TRUE(writeBytes(moved.join("RX3.dev"), b.data(), b.size()));
  ASSERT_TRUE(rx3::attachDriver(moved.join("RX3.dll").c_str()));
  DeviceRecord r = enumerated(kRx3);
  ASSERT_EQ(1, jPrintLoadMachine(&r));
  EXPECT_EQ(moved.join("PLAIN.ct1"), r.state->profile.colorFile1);
  EXPECT_EQ(moved.join("PLAIN.ct2"), r.state->profile.colorFile2);
  EXPECT_EQ(folder.path(), r.state->driverDirectory);
  EXPECT_EQ(moved.join("RX3.dll"), r.driverPath);
  jPrintCloseMachine(&r);
}

TEST(SettingsFileName, OnlyTheFileNamesExtensionIsReplaced) {
  testing_support::ScratchFolder folder("h4.dot");
  ASSERT_TRUE(rx3::attachDriver(folder.join("RX3").c_str()));
  DeviceRecord r{};
  EXPECT_EQ(1, jPrintSaveMachine(&r));
  EXPECT_EQ(612u, testing_support::readByteVector(folder.join("RX3.dev")).size());
  rx3::detachDriver();
}

TEST(SettingsFileName, SaveIntoAMissingFolderFails) {
  testing_support::ScratchFolder folder("h4gone");
  ASSERT_TRUE(rx3::attachDriver((folder.join("absent") + "/RX3.dll").c_str()));
  DeviceRecord r{};
  EXPECT_EQ(0, jPrintSaveMachine(&r));
  EXPECT_EQ(0, jPrintLoadMachine(&r));
  rx3::detachDriver();
}

}  // namespace
