#include "dialog_bench.h"

#include <cstdio>
#include <cstring>

#include "Base.h"
#include "SPOOL.h"
#include "driver/machines/machine_state.h"
#include "plugin_host.h"

namespace dialog_test {

testing_support::ScratchFolder* DialogBench::folder_ = nullptr;
platform::Library DialogBench::library_ = nullptr;

namespace {

DeviceRecord g_found;

int keepRx3(DeviceRecord* record) {
  if (std::strcmp(record->displayName, "EPSON RX-3") == 0) g_found = *record;
  return 1;
}

ColorProfile paper(const char* name, const char* colorFile, int fixed, int inkLimit) {
  ColorProfile p;
  jColorProfileInit(&p);
  std::snprintf(p.name, sizeof p.name, "%s", name);
  std::snprintf(p.colorFile1, sizeof p.colorFile1, "%s.ct1", colorFile);
  std::snprintf(p.colorFile2, sizeof p.colorFile2, "%s.ct2", colorFile);
  p.fixed = fixed;
  p.inkLimit = inkLimit;
  return p;
}

}  // namespace

void DialogBench::SetUpTestSuite() {
  folder_ = new testing_support::ScratchFolder("dlg");
  std::string plugin = raster_test::copyPluginInto(folder_->path());
  ASSERT_FALSE(plugin.empty());
  library_ = platform::loadLibrary(plugin.c_str());
  ASSERT_NE(library_, nullptr);
}

void DialogBench::TearDownTestSuite() {
  if (library_) platform::freeLibrary(library_);
  library_ = nullptr;
  delete folder_;
  folder_ = nullptr;
}

void DialogBench::SetUp() {
  ASSERT_NE(library_, nullptr);
  ASSERT_TRUE(testing_support::writeBytes(file("DEVICE.rgs"),
                                          "CURRENT\tRX-3 出力\r\n"
                                          "DEVICE\tRX-1 出力\tRX3.dll\tEPSON RX-1\tFILE:output\r\n"
                                          "DEVICE\tRX-3 出力\tRX3.dll\tEPSON RX-3\tFILE:output\r\n"));
  ASSERT_EQ(1, jSplSaveDevicePort(file("DEVICE.rgs").c_str()));
  writePapers(0, startingPapers(0));
  writePapers(1, startingPapers(1));
  std::remove(file("EPSON RX-3.ink").c_str());
  jOemSetText("");
  get<jPrintEnumMachine_t>("jPrintEnumMachine")(keepRx3);
  record_ = g_found;
  ASSERT_EQ(1, get<jPrintRecord_t>("jPrintOpenMachine")(&record_));
}

void DialogBench::TearDown() {
  get<jPrintRecord_t>("jPrintCloseMachine")(&record_);
  jOemSetText(nullptr);
}

std::vector<unsigned char> DialogBench::settingsBytes() const {
  std::vector<unsigned char> bytes(reinterpret_cast<const unsigned char*>(&record_),
                                   reinterpret_cast<const unsigned char*>(&record_) + sizeof record_);
  if (record_.state) {
    const auto* state = reinterpret_cast<const unsigned char*>(record_.state);
    bytes.insert(bytes.end(), state, state + kMachineSettingsBytes);
  }
  return bytes;
}

std::vector<ColorProfile> DialogBench::startingPapers(int inkSet) {
  if (inkSet == 1) return {paper("ﾏｯﾄ紙", "MATTE", 0, 140)};
  return {paper("普通紙 (720x720)", "PLAIN", 1, 120), paper("光沢紙 (1440x720)", "GLOSS", 0, 150)};
}

std::vector<unsigned char> DialogBench::paperFileBytes(const std::vector<ColorProfile>& papers) {
  std::string path = file("expected.cpf");
  EXPECT_EQ(1, jColorSaveProfiles(path.c_str(), papers.data(), static_cast<int>(papers.size())));
  return testing_support::readByteVector(path);
}

void DialogBench::writePapers(int inkSet, const std::vector<ColorProfile>& papers) {
  std::string name = "RX3.cpf" + std::to_string(inkSet);
  ASSERT_EQ(1, jColorSaveProfiles(file(name.c_str()).c_str(), papers.data(), static_cast<int>(papers.size())));
}

}  // namespace dialog_test
