// The shots of vellox's dialogs, over sample settings and a sample job.
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>

#include "Base.h"
#include "Draw.h"
#include "app/dialogs/dialogs_win32.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view_port.h"
#include "app/jobs/job_lock.h"
#include "app/resources/resource.h"
#include "app/shell/app_defaults.h"
#include "app/shell/environment_file.h"
#include "app/shell/variant.h"
#include "gallery_win32.h"
#include "platform/path.h"
#include "tools/icc-profiles/icc_writer.h"

namespace gallery {
namespace {

// A list view of one selected row, for the properties dialog.
class OneSelectedRow : public vlx::JobListView {
 public:
  int nextSelected(int after) const override { return after < 0 ? 0 : -1; }
  int rowCount() const override { return 1; }
  void deleteAllRows() override {}
  void insertRow(int, const char*, int) override {}
  void setCell(int, int, const char*) override {}
  void setImage(int, int) override {}
  void setSelectedFocused(int) override {}
};

struct Samples {
  vlx::AppState state{};
  OneSelectedRow selectedRow;
  jMcnTable* machines = nullptr;
  vlx::DeviceSettingsRequest devices{};
  jProfileBlock profiles{};
};

Samples& samples(const char* folder) {
  static Samples s;
  static bool made = false;
  if (made) return s;
  made = true;
  vlx::initJobListLock();
  vlx::setDefaults(&s.state, vlx::variantRecord(vlx::kQuaddle));
  icc::writeDefaultProfiles(folder);
  platform::joinPath(s.state.rgbProfile, sizeof s.state.rgbProfile, folder, vlx::kDefaultRgbProfileName);
  platform::joinPath(s.state.cmykProfile, sizeof s.state.cmykProfile, folder, vlx::kDefaultCmykProfileName);
  s.state.intent = 1;
  s.profiles.intent = 1;
  platform::copyString(s.profiles.rgbPath, sizeof s.profiles.rgbPath, s.state.rgbProfile);
  platform::copyString(s.profiles.cmykPath, sizeof s.profiles.cmykPath, s.state.cmykProfile);

  s.state.lists[vlx::kPrintList] = vlx::createJob();
  s.state.lists[vlx::kPrintedList] = vlx::createJob();
  s.state.viewPorts[vlx::kPrintList] = &s.selectedRow;
  if (JobRecord* job = vlx::createJob()) {
    job->fileKind = vlx::kOwnSpoolFileKind;
    job->fileSize = 1843200;
    platform::copyString(job->path, sizeof job->path, "C:\\vellox\\HotFolder\\ﾎﾟｽﾀｰ_A1_0001.vjx");
    platform::copyString(job->machineName, sizeof job->machineName, "RX3-1600");
    job->year = 2026, job->month = 12, job->day = 8, job->hour = 9, job->minute = 41, job->second = 7;
    vlx::append(job, s.state.lists[vlx::kPrintList]);
  }

  const char* names[] = {"RX3-1600", "RX3-1300", "RX3-1000"};
  s.machines = static_cast<jMcnTable*>(jMemAlloc(offsetof(jMcnTable, entries) + 3 * sizeof(jMcnEntry)));
  if (s.machines) {
    for (const char* name : names) {
      platform::copyString(s.machines->entries[s.machines->count].name, 64, name);
      s.machines->entries[s.machines->count++].usable = 1;
    }
  }
  s.devices.table = s.machines;
  platform::copyString(s.devices.machine, sizeof s.devices.machine, "RX3-1300");
  return s;
}

void showColorTab(HWND dialog) {
  HWND tabs = GetDlgItem(dialog, IDC_ENV_TABS);
  SendMessageA(tabs, TCM_SETCURSEL, 1, 0);
  NMHDR change{tabs, IDC_ENV_TABS, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(dialog, WM_NOTIFY, IDC_ENV_TABS, reinterpret_cast<LPARAM>(&change));
}

}  // namespace

std::vector<Shot> velloxShots(const char* workFolder) {
  Samples& s = samples(workFolder);
  vlx::AppState* state = &s.state;
  return {
      {"environment-general", "環境設定", [state] { vlx::openEnvironmentDialog(nullptr, state); }, nullptr},
      {"environment-color", "環境設定", [state] { vlx::openEnvironmentDialog(nullptr, state); }, showColorTab},
      {"profile-select", "ｶﾗｰﾌﾟﾛﾌｧｲﾙの選択", [&s] { jCol2ProfileSelectDlg(nullptr, &s.profiles); }, nullptr},
      {"job-properties", "ｼｮﾌﾞ ﾌﾟﾛﾊﾟﾃｨ", [state] { vlx::openJobProperties(nullptr, state, vlx::kPrintList); }, nullptr},
      {"job-properties-none", "ｼｮﾌﾞ ﾌﾟﾛﾊﾟﾃｨ", [state] { vlx::openJobProperties(nullptr, state, vlx::kPrintedList); },
       nullptr},
      {"version", "ﾊﾞｰｼﾞｮﾝ情報",
       [] { vlx::openVersionDialog(nullptr, "Vellox for Quaddle", "Version 3.1.22\nロールプリンタ用 印刷キュー", ""); },
       nullptr},
      {"device-settings", "ﾃﾞﾊﾞｲｽ設定", [&s] { vlx::runDeviceSettingsDialog(nullptr, &s.devices); }, nullptr},
  };
}

}  // namespace gallery
