// A choice made in the printer setup dialog reaches the stream of the next
// print: the header carries the resolution units and the ink set code.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "dialog_bench.h"
#include "driver/machines/machine_state.h"
#include "driver/resources/rx3_resource.h"
#include "platform/folders.h"
#include "tests/support/counting_hooks.h"
#include "tests/support/dialog_script_win32.h"

namespace dialog_test {
namespace {

using SettingsReachPrint = DialogBench;

// Prints one small blank page of the open record to a fresh folder; the
// bytes of the one print file made there.
std::vector<unsigned char> printOnePage(DeviceRecord* record, const std::string& folder) {
  platform::createFolder(folder.c_str());
  const std::string port = "FILE:" + folder;
  DialogBench::get<jPrintSetDeviceName_t>("jPrintSetDeviceName")(record, "試験", port.c_str());
  record->inchUnits = 1;
  jGdcScene scene{0, nullptr};
  jGdc drawing{};
  drawing.x1 = 71;
  drawing.y1 = 35;
  drawing.scene = &scene;
  jHostJobContext context{};
  std::strcpy(context.documentName, "setup");
  context.device = record;
  context.drawContext = &drawing;
  context.hooks = &testing_support::kCountingHooks;
  DialogBench::get<jPrintContext_t>("jPrintSetup")(&context);
  EXPECT_EQ(1, DialogBench::get<jPrintContext_t>("jPrintStartDoc")(&context));
  EXPECT_EQ(1, DialogBench::get<jPrintRect_t>("jPrintStartPage")(&context, 0, 0, 0.1f, 0.05f));
  DialogBench::get<jPrintRect_t>("jPrintDrawPage")(&context, 0, 0, 0.1f, 0.05f);
  DialogBench::get<jPrintEndPage_t>("jPrintEndPage")(&context, 0);
  EXPECT_EQ(1, DialogBench::get<jPrintContext_t>("jPrintEndDoc")(&context));
  std::vector<unsigned char> bytes;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) bytes = testing_support::readByteVector(folder + platform::kSeparator + e.name);
    return true;
  });
  return bytes;
}

bool contains(const std::vector<unsigned char>& bytes, const std::vector<unsigned char>& part) {
  return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

const std::vector<unsigned char> kInkSet0 = {'I', 'K', 0x02, 0x00, 0x00, 0x31};
const std::vector<unsigned char> kInkSet1 = {'I', 'K', 0x02, 0x00, 0x00, 0x51};
const std::vector<unsigned char> kUnits720 = {0x1B, '(', 'U', 0x05, 0x00, 0x04, 0x04, 0x04, 0x40, 0x0B};
const std::vector<unsigned char> kUnits1440x720 = {0x1B, '(', 'U', 0x05, 0x00, 0x04, 0x04, 0x02, 0x40, 0x0B};

TEST_F(SettingsReachPrint, ResolutionAndInkSetChosenInTheDialogChangeTheHeader) {
  std::vector<unsigned char> before = printOnePage(&record_, file("before"));
  ASSERT_FALSE(before.empty());
  EXPECT_TRUE(contains(before, kInkSet0));
  EXPECT_TRUE(contains(before, kUnits720));

  std::string paperAfterInkSet;
  DialogScript script;
  script.on("ﾌﾟﾘﾝﾀ設定", [&](HWND d) {
    choose(d, IDC_SETUP_INK_SET, 1);
    MSG m;
    while (PeekMessageA(&m, d, 0, 0, PM_REMOVE)) DispatchMessageA(&m);  // the posted paper selection
    paperAfterInkSet = text(d, IDC_SETUP_PAPER);
    choose(d, IDC_SETUP_RESOLUTION, 1);
    click(d, IDOK);
  });
  ASSERT_EQ(1, setupMachine());
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_EQ("ﾏｯﾄ紙", paperAfterInkSet);
  EXPECT_EQ(1440, record_.xResolution);
  EXPECT_STREQ("ﾏｯﾄ紙", record_.state->profile.name);

  std::vector<unsigned char> after = printOnePage(&record_, file("after"));
  EXPECT_TRUE(contains(after, kInkSet1));
  EXPECT_TRUE(contains(after, kUnits1440x720));
  EXPECT_FALSE(contains(after, kUnits720));
}

}  // namespace
}  // namespace dialog_test
