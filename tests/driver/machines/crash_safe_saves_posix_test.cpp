// Every file of the plug-in and its libraries survives a writer killed at
// any moment: the settings file, the ink file, a paper-profile file and the
// device registry are the old content or the new one, never a torn file.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "driver/ink/ink_file.h"
#include "driver_fixture.h"
#include "libs/spool/device_registry.h"
#include "platform/kill_writer_posix.h"

namespace {

class CrashSafeSaves : public DriverFixture {};

TEST_F(CrashSafeSaves, AKilledWriterLeavesTheOldFileOrTheNewOneNeverATornOne) {
  DeviceRecord record = enumerated(kRx3);
  ASSERT_EQ(1, jPrintOpenMachine(&record));
  InkEntry inks[8];
  rx3::setDefaultInks(inks);
  ColorProfile papers[J_MAX_PROFILES];
  for (ColorProfile& p : papers) jColorProfileInit(&p);
  auto registry = std::make_unique<spool::DeviceRegistry>();
  spool::RegistryDevice device{};
  std::snprintf(device.name, sizeof device.name, "RX3 出力");
  std::snprintf(device.driverFile, sizeof device.driverFile, "RX3.dll");
  std::snprintf(device.machine, sizeof device.machine, "EPSON RX-3");

  // One round saves all four files, so that every kill lands in one of them.
  const std::vector<std::string> paths = {folder.join("RX3.dev"), folder.join("EPSON RX-3.ink"),
                                          folder.join("RX3.cpf1"), folder.join("DEVICE.rgs")};
  const auto saveAll = [&](int v) {
    record.state->marginMode = v;
    inks[0].totalUsed = v ? 1111111111 : 5;
    std::snprintf(device.port, sizeof device.port, "%s", v ? "127.0.0.1:9100" : "FILE:out");
    spool::putDevice(registry.get(), device);
    return jPrintSaveMachine(&record) == 1 && jPrintSaveInk(&record, inks) == 1 &&
           jColorSaveProfiles(paths[2].c_str(), papers, v ? J_MAX_PROFILES : 3) == 1 &&
           spool::saveRegistry(paths[3].c_str(), *registry);
  };
  EXPECT_EQ(0, testing_support::tornFilesAfterKills(paths, saveAll));
  jPrintCloseMachine(&record);
}

}  // namespace
