// The shots of vellox's dialogs, over sample settings and a sample job.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <string>

#include "Base.h"
#include "Draw.h"
#include "app/dialogs/dialogs_win32.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view_port.h"
#include "app/jobs/job_lock.h"
#include "app/resources/resource.h"
#include "app/shell/app_defaults.h"
#include "app/shell/environment_file.h"
#include "app/shell/variant.h"
#include "gallery_win32.h"
#include "libs/press/icc_writer.h"
#include "platform/file.h"
#include "platform/path.h"

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

// What a dry run of an A1 poster might count, against a half-used account.
bool sampleInk(const char*, const std::atomic<int>&, vlx::InkEstimate* out) {
  constexpr uint64_t kMl = 1000000000;
  const char* names[] = {"C", "M", "Y", "K", "Lc", "Lm", "Lk", "Lg"};
  const uint64_t job[] = {4210 * kMl / 1000, 3875 * kMl / 1000, 5120 * kMl / 1000, 1630 * kMl / 1000,
                          6240 * kMl / 1000, 5980 * kMl / 1000, 2210 * kMl / 1000, 0};
  const int64_t used[] = {120, 96, 203, 60, 188, 140, 75, 30};
  *out = vlx::InkEstimate{};
  for (int i = 0; i < vlx::kEstimateInks; ++i) {
    InkEntry& ink = out->account[i];
    platform::copyString(ink.name, sizeof ink.name, names[i]);
    ink.capacityMl = 220, ink.correctionPercent = 100, ink.warningPercent = 10;
    ink.totalUsed = used[i] * static_cast<int64_t>(kMl);
    out->picolitres[i] = job[i];
  }
  return true;
}

struct Samples {
  vlx::AppState state{};
  OneSelectedRow selectedRow;
  jMcnTable* machines = nullptr;
  vlx::DeviceSettingsRequest devices{};
  vlx::DeviceSettingsRequest inks{};
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
    // A file of its own, so that its ink estimate (sample figures of an A1
    // poster) is there when the dialog opens.
    platform::joinPath(job->path, sizeof job->path, folder, "ﾎﾟｽﾀｰ_A1_0001.vjx");
    if (platform::FileHandle file = platform::openFile(job->path, platform::OpenMode::CreateAlways)) {
      platform::writeAll(file, "job", 3);
      platform::closeFile(file);
    }
    vlx::startJobInk(sampleInk);
    vlx::InkEstimate estimate;
    for (int i = 0; i < 500 && !vlx::jobInk(job->path, &estimate); ++i) Sleep(10);
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
  s.inks = s.devices;
  s.inks.ink = true;
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
      {"ink-settings", "ｲﾝｸ設定", [&s] { vlx::runDeviceSettingsDialog(nullptr, &s.inks); }, nullptr},
  };
}

}  // namespace gallery
