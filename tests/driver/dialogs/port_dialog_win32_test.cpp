// "DEVICESETUPDLG" from the printer setup dialog's "ﾎﾟｰﾄ設定", and the spool
// library's port selection behind its "設定".
#include <windows.h>

#include <string>

#include "SPOOL.h"
#include "dialog_bench.h"
#include "driver/machines/machine_state.h"
#include "driver/resources/rx3_resource.h"
#include "libs/spool/port_dialog_ids.h"
#include "tests/support/dialog_script_win32.h"

namespace dialog_test {
namespace {

constexpr const char* kSetup = "ﾌﾟﾘﾝﾀ設定";
constexpr const char* kPort = "ﾎﾟｰﾄ・ｽﾌﾟｰﾗ設定";
constexpr const char* kSelection = "ﾎﾟｰﾄの選択";

using PortDialog = DialogBench;

void chooseTcp(HWND selection, int device, const char* host, const char* port) {
  HWND list = GetDlgItem(selection, IDC_SPL_DEVICES);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(device), 0);
  SendMessageA(selection, WM_COMMAND, MAKEWPARAM(IDC_SPL_DEVICES, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  CheckRadioButton(selection, IDC_SPL_FILE, IDC_SPL_PRINTER, IDC_SPL_TCP);
  click(selection, IDC_SPL_TCP);
  SetDlgItemTextA(selection, IDC_SPL_HOST, host);
  SetDlgItemTextA(selection, IDC_SPL_TCP_PORT, port);
  click(selection, IDOK);
}

TEST_F(PortDialog, APortChosenIsSavedInTheRegistryAndTheSpoolLimitOutOfRangeIsRefused) {
  std::string deviceShown, portShown, portInSetup, limitAfterRefusal, limitAfterTaking;
  bool limitEnabledBefore = true, limitEnabledAfter = false;
  DialogScript script;
  script.on(kSetup, [&](HWND d) { click(d, IDC_SETUP_PORT_BUTTON); })
      .on(kPort,
          [&](HWND p) {
            limitEnabledBefore = enabled(p, IDC_PORT_SPOOL_LIMIT);
            click(p, IDC_PORT_CHOOSE);
          })
      .on(kSelection, [](HWND s) { chooseTcp(s, 0, "127.0.0.1", "9100"); })
      .on(kPort,
          [&](HWND p) {
            deviceShown = text(p, IDC_PORT_DEVICE);
            portShown = text(p, IDC_PORT_PORT);
            CheckDlgButton(p, IDC_PORT_SPOOL, BST_CHECKED);
            click(p, IDC_PORT_SPOOL);
            MSG m;
            while (PeekMessageA(&m, p, 0, 0, PM_REMOVE)) DispatchMessageA(&m);  // the posted command 101
            limitEnabledAfter = enabled(p, IDC_PORT_SPOOL_LIMIT);
            type(p, IDC_PORT_SPOOL_LIMIT, "5000");
            limitAfterRefusal = text(p, IDC_PORT_SPOOL_LIMIT);
            type(p, IDC_PORT_SPOOL_LIMIT, " 250 ");
            limitAfterTaking = text(p, IDC_PORT_SPOOL_LIMIT);
            click(p, IDOK);
          })
      .answer(kPort, IDOK)
      .on(kSetup, [&](HWND d) {
        portInSetup = text(d, IDC_SETUP_PORT_NAME);
        click(d, IDOK);
      });
  EXPECT_EQ(1, setupMachine());
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_FALSE(limitEnabledBefore);
  EXPECT_TRUE(limitEnabledAfter);
  EXPECT_EQ("RX-1 出力", deviceShown);
  EXPECT_EQ("127.0.0.1:9100", portShown);
  EXPECT_EQ("127.0.0.1:9100", portInSetup);
  ASSERT_EQ(1u, script.messages().size());
  EXPECT_EQ("0", limitAfterRefusal) << "the limit kept";
  EXPECT_EQ("250", limitAfterTaking);
  EXPECT_STREQ("RX-1 出力", record_.state->deviceName);
  EXPECT_STREQ("127.0.0.1:9100", record_.state->portName);
  EXPECT_EQ(1, record_.state->spoolMode);
  EXPECT_EQ(1, record_.spoolMode);
  EXPECT_EQ(250, record_.state->spoolLimitMB);
  const std::vector<unsigned char> registry = testing_support::readByteVector(file("DEVICE.rgs"));
  const std::string text(registry.begin(), registry.end());
  EXPECT_NE(std::string::npos, text.find("DEVICE\tRX-1 出力\tRX3.dll\tEPSON RX-1\t127.0.0.1:9100\r\n")) << text;
  EXPECT_NE(std::string::npos, text.find("DEVICE\tRX-3 出力\tRX3.dll\tEPSON RX-3\tFILE:output\r\n")) << text;
}

TEST_F(PortDialog, CancelOfTheSetupDropsDevicePortAndSpoolChoices) {
  const std::vector<unsigned char> before = settingsBytes();
  DialogScript script;
  script.on(kSetup, [](HWND d) { click(d, IDC_SETUP_PORT_BUTTON); })
      .on(kPort, [](HWND p) { click(p, IDC_PORT_CHOOSE); })
      .on(kSelection, [](HWND s) { chooseTcp(s, 1, "localhost", "9101"); })
      .on(kPort,
          [](HWND p) {
            CheckDlgButton(p, IDC_PORT_SPOOL, BST_CHECKED);
            click(p, IDC_PORT_SPOOL);
            type(p, IDC_PORT_SPOOL_LIMIT, "12");
            click(p, IDCANCEL);  // Escape closes like "閉じる"
          })
      .on(kSetup, [](HWND d) { click(d, IDCANCEL); });
  EXPECT_EQ(0, setupMachine());
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_EQ(before, settingsBytes());
}

TEST_F(PortDialog, TheSelectionRefusesAPortOutsideTheRangeAndItsCancelChangesNothing) {
  const std::vector<unsigned char> registryBefore = testing_support::readByteVector(file("DEVICE.rgs"));
  char device[260] = "RX-3 出力";
  char port[260] = "FILE:output";
  DialogScript script;
  script.on(kSelection, [](HWND s) { chooseTcp(s, 1, "localhost", "70000"); })
      .answer(kSelection, IDOK)
      .on(kSelection, [](HWND s) { chooseTcp(s, 1, "two words", "9100"); })
      .answer(kSelection, IDOK)
      .on(kSelection, [](HWND s) { click(s, IDCANCEL); });
  EXPECT_EQ(0, jSplGetDevicePortDlg(nullptr, device, port));
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_EQ(2u, script.messages().size());
  EXPECT_STREQ("RX-3 出力", device);
  EXPECT_STREQ("FILE:output", port);
  EXPECT_EQ(registryBefore, testing_support::readByteVector(file("DEVICE.rgs")));
}

}  // namespace
}  // namespace dialog_test
