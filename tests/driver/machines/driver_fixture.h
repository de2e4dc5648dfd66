// A plug-in attached in a scratch folder that holds a device registry and
// the paper-profile file of ink set 0 for "EPSON RX-3" (row 2) only.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Base.h"
#include "Device.h"
#include "SPOOL.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "driver/machines/machine_state.h"
#include "platform/scratch_folder.h"

class DriverFixture : public ::testing::Test {
 protected:
  static constexpr int kRx3 = 2;

  void SetUp() override {
    ASSERT_TRUE(testing_support::writeBytes(folder.join("DEVICE.rgs"),
                                            "CURRENT\tRX3 出力\r\n"
                                            "DEVICE\tRX1 出力\tRX3.dll\tEPSON RX-1\tFILE:C:\\out1\r\n"
                                            "DEVICE\tRX3 出力\tRX3.dll\tEPSON RX-3\tFILE:C:\\ｿ表\\out\r\n"));
    jSplSaveDevicePort(folder.join("DEVICE.rgs").c_str());
    ColorProfile papers[2];
    jColorProfileInit(&papers[0]);
    jColorProfileInit(&papers[1]);
    std::snprintf(papers[0].name, sizeof papers[0].name, "普通紙 (720x720)");
    std::snprintf(papers[0].colorFile1, sizeof papers[0].colorFile1, "PLAIN.ct1");
    std::snprintf(papers[0].colorFile2, sizeof papers[0].colorFile2, "PLAIN.ct2");
    papers[0].fixed = 1;
    papers[0].inkLimit = 120;
    std::snprintf(papers[1].name, sizeof papers[1].name, "光沢紙 (1440x720)");
    ASSERT_EQ(1, jColorSaveProfiles(folder.join("RX3.cpf0").c_str(), papers, 2));
    attach();
  }

  void TearDown() override {
    rx3::detachDriver();
    jOemSetText(nullptr);
  }

  void attach() { ASSERT_TRUE(rx3::attachDriver(pluginPath().c_str())); }
  std::string pluginPath() const { return folder.join("RX3.dll"); }

  // A record as enumeration gives it.
  DeviceRecord enumerated(int machineIndex) {
    jOemSetText(machineIndex >= 3 ? "Tagwright" : "Other");
    static DeviceRecord found;
    static int wanted;
    wanted = machineIndex;
    std::memset(&found, 0, sizeof found);
    jPrintEnumMachine([](DeviceRecord* r) {
      if (r->machineIndex == wanted) found = *r;
      return 1;
    });
    return found;
  }

  testing_support::ScratchFolder folder{"h4drv"};
};
