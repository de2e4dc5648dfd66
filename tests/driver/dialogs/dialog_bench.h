// The plug-in copied into a scratch folder with its files (device registry,
// the RX-3 paper files of both ink sets) and loaded by file name; one RX-3
// record opened for each test, and the exports looked up by name.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Device.h"
#include "PrintDriver.h"
#include "platform/module.h"
#include "platform/scratch_folder.h"

namespace dialog_test {

class DialogBench : public ::testing::Test {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

 protected:
  void SetUp() override;
  void TearDown() override;

 public:
  template <typename F>
  static F get(const char* name) {
    return reinterpret_cast<F>(platform::librarySymbol(library_, name));
  }
  static std::string file(const char* name) { return folder_->join(name); }

  int setupMachine() { return get<jPrintSetupWindow_t>("jPrintSetupMachine")(&record_, nullptr); }
  int setupInk() { return get<jPrintSetupWindow_t>("jPrintSetupInk")(&record_, nullptr); }
  // The record with its settings (the state up to the engine area), as bytes.
  std::vector<unsigned char> settingsBytes() const;

  // Papers as the tests start them: ink set 0 a built-in "*普通紙 (720x720)"
  // and "光沢紙 (1440x720)"; ink set 1 "ﾏｯﾄ紙".
  static std::vector<ColorProfile> startingPapers(int inkSet);
  // The bytes the profile library writes for a list of papers.
  static std::vector<unsigned char> paperFileBytes(const std::vector<ColorProfile>& papers);
  static void writePapers(int inkSet, const std::vector<ColorProfile>& papers);

 protected:
  static testing_support::ScratchFolder* folder_;
  static platform::Library library_;
  DeviceRecord record_{};
};

}  // namespace dialog_test
