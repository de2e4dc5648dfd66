#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver/machines/driver_module.h"
#include "driver/machines/exports.h"
#include "platform/scratch_folder.h"
#include "process_support.h"

namespace {

// Each process loads the ink file, adds its page and saves it under the
// printing lock; without the lock, pages of one process overwrite those of
// the other.
TEST(InkProcesses, TwoProcessesAccountingAtOnceLoseNoPage) {
  testing_support::ScratchFolder folder("h4procs");
  const std::string plugin = folder.join("RX3.dll");
  const std::string helper = testing_support::siblingProgram("ink_page_helper");
  constexpr int kPages = 40;
  const long long kVolume = 1000000007LL;
  std::vector<int> codes =
      testing_support::runTogether({{helper, plugin, std::to_string(kPages), std::to_string(kVolume)},
                                    {helper, plugin, std::to_string(kPages), std::to_string(kVolume)}});
  EXPECT_EQ((std::vector<int>{0, 0}), codes);

  ASSERT_TRUE(rx3::attachDriver(plugin.c_str()));
  DeviceRecord record{};
  record.machineIndex = 2;
  std::strcpy(record.displayName, "EPSON RX-3");
  InkEntry inks[8];
  EXPECT_EQ(8, jPrintLoadInk(&record, inks));
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(2LL * kPages * kVolume * (i + 1), int64_t(inks[i].totalUsed)) << "ink " << i + 1;
    EXPECT_EQ(kVolume * (i + 1), int64_t(inks[i].lastPage));
  }
  rx3::detachDriver();
}

}  // namespace
