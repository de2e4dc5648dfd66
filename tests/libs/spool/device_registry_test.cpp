#include <gtest/gtest.h>

#include <string>

#include "SPOOL.h"
#include "platform/scratch_folder.h"

namespace {

class DeviceRegistryFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(1, jSplSaveDevicePort(path.c_str())); }

  // The current choice as jSplGetPort reports it, "" when it reports none.
  std::string current(const std::string& text) {
    EXPECT_TRUE(testing_support::writeBytes(path, text));
    char device[260] = "stale";
    char port[260] = "stale";
    if (!jSplGetPort(device, port)) {
      EXPECT_STREQ("", device);
      EXPECT_STREQ("", port);
      return "";
    }
    return std::string(device) + "|" + port;
  }

  testing_support::ScratchFolder folder{"h4rgs"};
  std::string path = folder.join("DEVICE.rgs");
};

TEST_F(DeviceRegistryFile, CurrentLineChoosesTheDevice) {
  EXPECT_EQ("B 装置|FILE:C:\\ｿ表\\出力", current("; comment\r\n"
                                                 "DEVICE\tA\tRX3.dll\tEPSON RX-1\tFILE:C:\\a\r\n"
                                                 "CURRENT\tb 装置\r\n"
                                                 "DEVICE\tB 装置\tRX3.dll\tEPSON RX-3\tFILE:C:\\ｿ表\\出力\r\n"));
}

TEST_F(DeviceRegistryFile, FirstDeviceWhenNoneOrAnUnknownOneIsCurrent) {
  const std::string devices = "device\tA\tRX3.dll\tEPSON RX-1\tTCP:host:9100\nDEVICE\tB\tRX3.dll\tEPSON RX-3\tLPT1:\n";
  EXPECT_EQ("A|TCP:host:9100", current(devices));
  EXPECT_EQ("A|TCP:host:9100", current("CURRENT\tZ\n" + devices));
  EXPECT_EQ("B|LPT1:", current("CURRENT\tA\rCURRENT\tB\r" + devices)) << "the last CURRENT line wins";
}

TEST_F(DeviceRegistryFile, MalformedLinesAreSkippedWhole) {
  EXPECT_EQ("ok|P", current("DEVICE\tshort\tRX3.dll\tEPSON RX-1\r\n"
                            "DEVICE\tmany\tRX3.dll\tEPSON RX-1\tP\textra\r\n"
                            "DEVICE\t\tRX3.dll\tEPSON RX-1\tP\r\n"
                            "DEVICE\tlong\tRX3.dll\tEPSON RX-1\t" +
                            std::string(260, 'p') +
                            "\r\n"
                            "DEVICE\tmachine\tRX3.dll\t" +
                            std::string(64, 'm') +
                            "\tP\r\n"
                            "DEVICES\tx\tRX3.dll\tEPSON RX-1\tP\r\n"
                            "DEVICE\tok\tRX3.dll\tEPSON RX-1\tP\r\n"));
  EXPECT_EQ("ok|" + std::string(259, 'p'), current("DEVICE\tok\tRX3.dll\tEPSON RX-1\t" + std::string(259, 'p')));
}

TEST_F(DeviceRegistryFile, RegistryWithoutDevicesGivesNoChoice) {
  EXPECT_EQ("", current(""));
  EXPECT_EQ("", current("CURRENT\tA\r\n; nothing else\r\n"));
  EXPECT_EQ("", current(std::string(200 * 1024, ';')));
  testing_support::writeBytes(path, "DEVICE\tA\tRX3.dll\tEPSON RX-1\tP\r\n");
  ASSERT_EQ(1, jSplSaveDevicePort(folder.join("missing.rgs").c_str()));
  char device[260] = "stale";
  char port[260] = "stale";
  EXPECT_EQ(0, jSplGetPort(device, port));
  EXPECT_STREQ("", device);
  EXPECT_STREQ("", port);
}

TEST_F(DeviceRegistryFile, RefusedPathKeepsTheRememberedOne) {
  testing_support::writeBytes(path, "DEVICE\tA\tRX3.dll\tEPSON RX-1\tP\r\n");
  EXPECT_EQ(0, jSplSaveDevicePort(("C:\\" + std::string(300, 'x')).c_str()));
  EXPECT_EQ(0, jSplSaveDevicePort(""));
  EXPECT_EQ(0, jSplSaveDevicePort(nullptr));
  char device[260];
  char port[260];
  EXPECT_EQ(1, jSplGetPort(device, port));
  EXPECT_STREQ("A", device);
}

}  // namespace
