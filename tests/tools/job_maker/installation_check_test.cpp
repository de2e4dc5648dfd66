// The job maker's checks against an installation: a machine the device
// registry does not name, a page wider than the machine's widest paper or
// longer than any page, and a hot folder that belongs to no installation.
#include "installation_check.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/folders.h"
#include "platform/scratch_folder.h"

namespace jobmaker {
namespace {

TEST(InstallationCheck, RefusesWhatTheInstallationCannotPrintAndSaysWhy) {
  testing_support::ScratchFolder install;
  const std::string hot = install.join("HotFolder");
  platform::createFolder(hot.c_str());
  platform::createFolder(install.join("printer").c_str());
  const struct {
    const char* machine;
    float width, height;
    bool registry;
    const char* message;  // null: accepted
  } cases[] = {
      {"EPSON RX-3", 1000, 700, true, nullptr},
      {"EPSON RX-9", 100, 100, true, "\"EPSON RX-9\" is not installed here; installed: \"EPSON RX-3\""},
      {"EPSON RX-3", 5000, 50, true, "5000 mm wide; the widest paper of EPSON RX-3 is 1626 mm"},
      {"EPSON RX-3", 100, 30000, true, "30000 mm long"},
      {"EPSON RX-3", 100, 100, false, "device registry"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.machine);
    const std::string registry = install.join("printer/DEVICE.rgs");
    if (c.registry) {
      ASSERT_TRUE(testing_support::writeBytes(registry, "DEVICE\tRX-3 file\tRX3.dll\tEPSON RX-3\tFILE:\r\n"));
    } else {
      platform::deleteFile(registry.c_str());
    }
    std::string error;
    EXPECT_EQ(checkAgainstInstallation(hot, c.machine, c.width, c.height, &error), c.message == nullptr);
    if (c.message) {
      EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
  }
}

}  // namespace
}  // namespace jobmaker
