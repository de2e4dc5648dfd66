// The common ground of the printing tests: a printer folder holding the real
// plug-in with one virtual device on the file port, an open drawing document,
// and a fixed noise seed so that two prints of a page compare byte for byte.
// The queue's own printing tests take the seed and the registry lines.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Base.h"
#include "Draw.h"
#include "job_maker.h"
#include "plugin_folder.h"

namespace draw_test {

// One noise seed for the whole test program: two prints of a page compare
// byte for byte.
inline void fixNoiseSeed() {
  testing_support::setEnvironment("RX3_NOISE_SEED", "12345");
}

// A line of the device registry: a virtual device of the built plug-in.
inline std::string deviceLine(const std::string& device, const std::string& machine, const std::string& port) {
  return "DEVICE\t" + device + "\t" + pluginFileName() + "\t" + machine + "\t" + port + "\r\n";
}

struct PrintingFixture : ::testing::Test {
  static void SetUpTestSuite() { fixNoiseSeed(); }
  void SetUp() override {
    ASSERT_TRUE(printer.ready());
    jOemSetText("");
    testing_support::writeBytes(printer.join("DEVICE.rgs"),
                                deviceLine("RX-3 file", "EPSON RX-3", "FILE:" + out.path()));
    ASSERT_EQ(jPdevSetPrinterFolder(printer.path().c_str()), 1);
    jDrawOpenParams open{1000, {}};
    ASSERT_EQ(jDrawOpen(nullptr, &open), 1);
    jDrawDocParams params{nullptr, 0, 100000, 256, 16, 3, 1, 1};
    document = jDrawGDBOpen(&params);
    jPdevSetPgsHook(nullptr);
  }
  void TearDown() override {
    if (device) jPdevClose(device);
    if (setting) jMemFree(setting);
    jDrawClose();
    jPdevSetPrinterFolder(nullptr);
    jOemSetText(nullptr);
  }
  // Writes and loads the job as the print queue does (in place of one loaded before).
  bool load(const jobfile::Job& job) {
    if (device) jPdevClose(device);
    if (setting) jMemFree(setting);
    device = nullptr;
    setting = nullptr;
    jobPath = jobs.join("job.vjx");
    if (!jobfile::writeJobFile(jobPath.c_str(), job)) return false;
    device = jFileLoadDRXDevOpen(jobPath.c_str());
    setting = jFileLoadDRXDevSetting(jobPath.c_str());
    return device && setting && jFileLoad(document, 16, 0, jobPath.c_str()) == 1;
  }

  PluginFolder printer;
  testing_support::ScratchFolder out, jobs;
  std::string jobPath;
  int32_t document = 0;
  jDEVICE device = nullptr;
  void* setting = nullptr;
};

}  // namespace draw_test
