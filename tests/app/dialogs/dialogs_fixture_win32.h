// The ground of the main window's dialog tests: an owner window, the
// application state over default colour profiles, and the environment
// dialog's pages.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Base.h"
#include "app/dialogs/dialogs_win32.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_lock.h"
#include "app/jobs_view/fake_job_list_view.h"
#include "app/resources/resource.h"
#include "app/shell/app_defaults.h"
#include "app/shell/environment_file.h"
#include "app/shell/variant.h"
#include "libs/press/icc_writer.h"
#include "platform/scratch_folder.h"
#include "tests/support/dialog_script_win32.h"

namespace vlx {

using dialog_test::DialogScript;
using dialog_test::findDialog;
using dialog_test::pageWith;
using dialog_test::postClick;
using dialog_test::press;

inline constexpr char kEnvironment[] = "環境設定";
inline constexpr char kProfiles[] = "ｶﾗｰﾌﾟﾛﾌｧｲﾙの選択";
inline constexpr char kProfileBox[] = "ｶﾗｰﾌﾟﾛﾌｧｲﾙ";
inline constexpr char kProperties[] = "ｼｮﾌﾞ ﾌﾟﾛﾊﾟﾃｨ";
inline constexpr char kVersion[] = "ﾊﾞｰｼﾞｮﾝ情報";
inline constexpr char kDevices[] = "ﾃﾞﾊﾞｲｽ設定";
inline constexpr char kPrinterSetup[] = "ﾌﾟﾘﾝﾀ設定";  // the plug-in's own dialog
inline constexpr char kInkSettings[] = "ｲﾝｸ設定";
inline constexpr char kInkDialog[] = "ｲﾝｸ使用量の設定";  // the plug-in's own dialog
inline constexpr int kInkUsage1 = 1019;                  // the plug-in's controls of the first ink
inline constexpr int kInkReset1 = 1049;

inline RECT rectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

inline void moveTo(HWND window, int x, int y) {
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    initJobListLock();
    setDefaults(&state_, variantRecord(kQuaddle));
    ASSERT_TRUE(icc::writeDefaultProfiles(folder_.path().c_str()));
    owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 50, 50, 400, 300, nullptr, nullptr, nullptr,
                             nullptr);
  }
  void TearDown() override {
    for (JobRecord* head : state_.lists) destroyChain(head);
    DestroyWindow(owner_);
    deleteJobListLock();
    jOemSetText(nullptr);
  }

  // The general page: mode radio buttons and the count edit.
  static HWND generalPage(HWND dialog) { return pageWith(dialog, IDC_ENV_HOLDJOB); }
  static HWND colorPage(HWND dialog) { return pageWith(dialog, IDC_ENV_RGB); }
  static void showTab(HWND dialog, int tab) {
    HWND tabs = GetDlgItem(dialog, IDC_ENV_TABS);
    SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    NMHDR change{tabs, IDC_ENV_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(dialog, WM_NOTIFY, IDC_ENV_TABS, reinterpret_cast<LPARAM>(&change));
    dialog_test::pump();
  }
  // Types a count into the general page.
  static void typeCount(HWND dialog, const char* text) { SetDlgItemTextA(generalPage(dialog), IDC_ENV_HOLDJOB, text); }

  int openEnvironment(DialogScript& script) {
    const int result = openEnvironmentDialog(owner_, &state_);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ("", script.failure());
    return result;
  }

  std::string file(const char* name) const { return folder_.join(name); }

  testing_support::ScratchFolder folder_;
  const std::string rgb_ = file(kDefaultRgbProfileName);
  const std::string cmyk_ = file(kDefaultCmykProfileName);
  AppState state_{};
  HWND owner_ = nullptr;
};

}  // namespace vlx
