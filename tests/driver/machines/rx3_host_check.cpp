// A host that loads the plug-in the way the printing-device layer does: by
// file name, looking every export up by name, and calling them in the
// expected order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Base.h"
#include "Device.h"
#include "PrintDriver.h"
#include "SPOOL.h"
#include "platform/module.h"
#include "platform/path.h"
#include "platform/scratch_folder.h"

namespace {

#if defined(_WIN32)
constexpr const char* kPluginFile = "RX3.dll";
#else
constexpr const char* kPluginFile = "RX3.so";
#endif

const char* const kExports[] = {
    "jPrintEnumMachine",   "jPrintOpenMachine",   "jPrintCloseMachine", "jPrintSaveMachine", "jPrintLoadMachine",
    "jPrintGetDeviceName", "jPrintSetDeviceName", "jPrintGetCpf",       "jPrintSetCpf",      "jPrintSetupMachine",
    "jPrintSetup",         "jPrintCmsSetup",      "jPrintStartDoc",     "jPrintStartPage",   "jPrintDrawPage",
    "jPrintEndPage",       "jPrintEndDoc",        "jPrintLoadInk",      "jPrintSaveInk",     "jPrintSetupInk",
    "RgbToCmykFunc16",
};

std::vector<DeviceRecord> g_records;

int keep(DeviceRecord* record) {
  g_records.push_back(*record);
  return 1;
}

class PluginHost : public ::testing::Test {
 protected:
  void SetUp() override {
    char self[platform::kMaxPath];
    char bin[platform::kMaxPath];
    char built[platform::kMaxPath];
    ASSERT_TRUE(platform::moduleFileName(nullptr, self, sizeof self));
    ASSERT_TRUE(platform::folderPart(self, bin, sizeof bin));
    ASSERT_TRUE(platform::joinPath(built, sizeof built, bin, kPluginFile));
    std::vector<unsigned char> image = testing_support::readByteVector(built);
    ASSERT_FALSE(image.empty()) << built;
    // A copy in a folder of its own: the plug-in keeps its files beside itself.
    plugin = folder.join(kPluginFile);
    ASSERT_TRUE(testing_support::writeBytes(plugin, image.data(), image.size()));
    ASSERT_TRUE(testing_support::writeBytes(
        folder.join("DEVICE.rgs"), "CURRENT\tRX3 出力\r\nDEVICE\tRX3 出力\tRX3.dll\tEPSON RX-3\tFILE:out\r\n"));
    jSplSaveDevicePort(folder.join("DEVICE.rgs").c_str());
    ColorProfile paper;
    jColorProfileInit(&paper);
    std::strcpy(paper.name, "ﾏｯﾄ紙 (1440x720)");
    std::strcpy(paper.colorFile1, "MATTE.ct1");
    ASSERT_EQ(1, jColorSaveProfiles(folder.join("RX3.cpf0").c_str(), &paper, 1));

    library = platform::loadLibrary(plugin.c_str());
    ASSERT_NE(nullptr, library);
  }

  void TearDown() override {
    if (library) platform::freeLibrary(library);
    jOemSetText(nullptr);
  }

  template <typename F>
  F get(const char* name) {
    return reinterpret_cast<F>(platform::librarySymbol(library, name));
  }

  DeviceRecord enumerateRx3() {
    jOemSetText("");
    g_records.clear();
    EXPECT_EQ(6, get<jPrintEnumMachine_t>("jPrintEnumMachine")(keep));
    EXPECT_EQ(3u, g_records.size());
    return g_records.size() == 3 ? g_records[2] : DeviceRecord{};
  }

  testing_support::ScratchFolder folder{"h4host"};
  std::string plugin;
  platform::Library library = nullptr;
};

TEST_F(PluginHost, EveryExportIsFoundByItsPlainName) {
  for (const char* name : kExports) EXPECT_NE(nullptr, platform::librarySymbol(library, name)) << name;
}

TEST_F(PluginHost, EnumeratesEachLineForItsHosts) {
  jOemSetText("Bannerforge");
  g_records.clear();
  EXPECT_EQ(6, get<jPrintEnumMachine_t>("jPrintEnumMachine")(keep));
  ASSERT_EQ(3u, g_records.size());
  EXPECT_STREQ("LumoraLX1", g_records[0].displayName);
  DeviceRecord rx3 = enumerateRx3();
  EXPECT_STREQ("EPSON RX-3", rx3.displayName);
  EXPECT_EQ(plugin, rx3.driverPath);
}

TEST_F(PluginHost, OpensNamesSavesAndLoadsAMachine) {
  DeviceRecord record = enumerateRx3();
  auto open = get<jPrintRecord_t>("jPrintOpenMachine");
  auto close = get<jPrintRecord_t>("jPrintCloseMachine");
  auto getNames = get<jPrintGetDeviceName_t>("jPrintGetDeviceName");
  auto setNames = get<jPrintSetDeviceName_t>("jPrintSetDeviceName");
  auto getCpf = get<jPrintGetCpf_t>("jPrintGetCpf");
  ASSERT_EQ(1, open(&record));
  char device[260];
  char port[260];
  ASSERT_EQ(1, getNames(&record, device, port));
  EXPECT_STREQ("RX3 出力", device);
  EXPECT_STREQ("FILE:out", port);
  ColorProfile paper = getCpf(&record);
  EXPECT_STREQ("ﾏｯﾄ紙 (1440x720)", paper.name);
  EXPECT_EQ(folder.join("MATTE.ct1"), paper.colorFile1);
  ASSERT_EQ(1, setNames(&record, "別の装置", "LPT2:"));
  ASSERT_EQ(1, get<jPrintRecord_t>("jPrintSaveMachine")(&record));
  EXPECT_EQ(2808u, testing_support::readByteVector(folder.join("RX3.dev")).size());
  EXPECT_EQ(1, close(&record));

  DeviceRecord loaded = enumerateRx3();
  ASSERT_EQ(1, get<jPrintRecord_t>("jPrintLoadMachine")(&loaded));
  ASSERT_EQ(1, getNames(&loaded, device, port));
  EXPECT_STREQ("別の装置", device);
  EXPECT_STREQ("LPT2:", port);
  EXPECT_EQ(1, close(&loaded));
  EXPECT_EQ(0, get<jPrintSetupWindow_t>("jPrintSetupMachine")(&loaded, nullptr)) << "a closed record shows nothing";
}

TEST_F(PluginHost, KeepsTheInkAccount) {
  DeviceRecord record = enumerateRx3();
  auto load = get<jPrintInk_t>("jPrintLoadInk");
  auto save = get<jPrintInk_t>("jPrintSaveInk");
  InkEntry inks[8];
  EXPECT_EQ(8, load(&record, inks));
  EXPECT_STREQ("Lg", inks[7].name);
  inks[2].totalUsed = 123456789012LL;
  EXPECT_EQ(1, save(&record, inks));
  InkEntry back[8];
  EXPECT_EQ(8, load(&record, back));
  EXPECT_EQ(123456789012LL, int64_t(back[2].totalUsed));
  EXPECT_FALSE(testing_support::readByteVector(folder.join("EPSON RX-3.ink")).empty());
}

TEST_F(PluginHost, ColourManagementUsesTheNamedConversion) {
  auto cmsSetup = get<jPrintCmsSetup_t>("jPrintCmsSetup");
  ColorProfile profile;
  jColorProfileInit(&profile);
  jCMS cms = cmsSetup(&profile);
  EXPECT_NE(nullptr, cms) << "the default conversion is found among the exports";
  if (cms) jColorCmsRelease(cms);
  std::strcpy(profile.conversionFunction, "NoSuchConversion");
  EXPECT_EQ(nullptr, cmsSetup(&profile));
  // Neither an export that is no conversion nor a function of a library the
  // plug-in depends on is ever handed out.
  for (const char* name : {"jPrintCloseMachine", "abort", "free", "jMemFree", "jColorCmsRelease", "rgbToCmykFunc16"}) {
    std::strcpy(profile.conversionFunction, name);
    EXPECT_EQ(nullptr, cmsSetup(&profile)) << name;
  }
}

}  // namespace
