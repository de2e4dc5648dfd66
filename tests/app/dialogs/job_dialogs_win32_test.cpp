// The job-properties, version and device-settings dialogs of the main window,
// opened as the main window opens them and driven with real messages.
#include "app/jobs/print_journal.h"
#include "dialogs_fixture_win32.h"

#include <string>
#include <vector>

namespace vlx {
namespace {

// A machine table as the drawing library hands it over.
jMcnTable* machineTable(std::initializer_list<std::pair<const char*, int32_t>> machines) {
  auto* table = static_cast<jMcnTable*>(jMemAlloc(offsetof(jMcnTable, entries) + machines.size() * sizeof(jMcnEntry)));
  for (const auto& [name, usable] : machines) {
    std::strcpy(table->entries[table->count].name, name);
    table->entries[table->count++].usable = usable;
  }
  return table;
}

class PropertiesTest : public DialogsTest {
 protected:
  void SetUp() override {
    DialogsTest::SetUp();
    for (int i = 0; i < 2; ++i) {
      state_.lists[i] = createJob();
      state_.viewPorts[i] = &views_[i];
    }
    JobRecord* job = createJob();
    job->fileKind = kOwnSpoolFileKind;
    job->fileSize = 5000;
    std::strcpy(job->path, "C:\\vellox\\MoveFolder\\x.vjx");
    std::strcpy(job->machineName, "RX3-1600");
    job->year = 2026, job->month = 12, job->day = 8, job->hour = 7, job->minute = 6, job->second = 5;
    append(job, state_.lists[kPrintedList]);
    views_[kPrintedList].resize(1);
  }
  // Opens the properties of the list's selected job, as the main window
  // does; inDialog acts on the dialog and closes it.
  void showProperties(int list, dialog_test::Action inDialog) {
    DialogScript script;
    script.on(kProperties, std::move(inDialog));
    EXPECT_EQ(1, openJobProperties(owner_, &state_, list));
    EXPECT_TRUE(script.finished()) << script.failure();
  }
  FakeJobListView views_[2];
};

TEST_F(PropertiesTest, TheSelectedJobIsShownFieldByField) {
  views_[kPrintedList].select({0});
  showProperties(kPrintedList, [](HWND d) {
    EXPECT_EQ("VJX（専用ﾌｧｲﾙ）", dialog_test::text(d, IDC_PROP_KIND));
    EXPECT_EQ("C:\\vellox\\MoveFolder\\x.vjx", dialog_test::text(d, IDC_PROP_PATH));
    EXPECT_EQ("2026年 12月 08日  07時 06分 05秒", dialog_test::text(d, IDC_PROP_DATE));
    EXPECT_EQ("4 KB", dialog_test::text(d, IDC_PROP_FILE_SIZE));
    EXPECT_EQ(0u, dialog_test::text(d, IDC_PROP_PRINT_SIZE).find("横 "));
    EXPECT_EQ("RX3-1600", dialog_test::text(d, IDC_PROP_MACHINE));
    postClick(d, IDOK);
  });
}

TEST_F(PropertiesTest, TheInkEstimateShowsWhenItArrives) {
  const std::string file = folder_.join("x.vjx");
  ASSERT_TRUE(testing_support::writeBytes(file, "job"));
  std::strcpy(nextOf(state_.lists[kPrintedList])->path, file.c_str());
  std::atomic<int> release{0};
  startJobInk([&](const char*, const std::atomic<int>& cancel, InkEstimate* out) {
    while (!release && !cancel) Sleep(5);
    *out = InkEstimate{};
    std::strcpy(out->account[0].name, "C");
    out->account[0].capacityMl = 220, out->account[0].correctionPercent = 100;
    out->picolitres[0] = 2200000000;
    return true;
  });
  views_[kPrintedList].select({0});
  showProperties(kPrintedList, [&](HWND d) {
    EXPECT_EQ("見積り中...", dialog_test::text(d, IDC_PROP_INK));
    release = 1;
    for (int i = 0; i < 400 && dialog_test::text(d, IDC_PROP_INK) == "見積り中..."; ++i) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
      Sleep(10);
    }
    EXPECT_EQ("C       2.200 ml  残量の 1.0%", dialog_test::text(d, IDC_PROP_INK));
    postClick(d, IDOK);
  });
  stopJobInk();
}

// Every attempt at the job from the print journal, with a failure's reason.
TEST_F(PropertiesTest, TheJobsJournalLinesAreShown) {
  useJournalFile(folder_.join("PrintJournal.csv").c_str());
  const struct {
    JournalOutcome outcome;
    const char* reason;
  } attempts[] = {{JournalOutcome::Failed, "ﾎﾟｰﾄがﾀｲﾑｱｳﾄしました"}, {JournalOutcome::Printed, ""}};
  for (const auto& a : attempts) {
    JournalEntry e;
    e.started = e.ended = platform::LocalTime{2026, 12, 8, 7, 6, 5};
    e.file = "C:\\vellox\\HotFolder\\x.vjx";
    e.movedTo = "C:\\vellox\\MoveFolder\\x.vjx";
    e.device = "RX-3 file";
    e.outcome = a.outcome;
    e.reason = a.reason;
    ASSERT_TRUE(appendJournal(e));
  }
  views_[kPrintedList].select({0});
  showProperties(kPrintedList, [](HWND d) {
    const std::string history = dialog_test::text(d, IDC_PROP_HISTORY);
    const std::size_t failed = history.find("失敗");
    EXPECT_NE(std::string::npos, failed) << history;
    EXPECT_NE(std::string::npos, history.find("ﾎﾟｰﾄがﾀｲﾑｱｳﾄしました")) << history;
    EXPECT_GT(history.find("印刷済み"), failed) << "oldest first";
    postClick(d, IDOK);
  });
  useJournalFile(nullptr);
}

TEST_F(PropertiesTest, WithoutASelectedJobItSaysSo) {
  showProperties(kPrintList, [](HWND d) {
    EXPECT_EQ("情報なし（選択されていません）", dialog_test::text(d, IDC_PROP_TITLE));
    for (int id :
         {IDC_PROP_KIND, IDC_PROP_PATH, IDC_PROP_DATE, IDC_PROP_FILE_SIZE, IDC_PROP_PRINT_SIZE, IDC_PROP_MACHINE})
      EXPECT_EQ("", dialog_test::text(d, id)) << id;
    PostMessageA(d, WM_CLOSE, 0, 0);
  });
}

TEST_F(PropertiesTest, AJobThatVanishesWhileOpenStaysOnScreen) {
  views_[kPrintedList].select({0});
  showProperties(kPrintedList, [&](HWND d) {
    {
      JobListLock lock;
      JobRecord* job = jobAt(state_.lists[kPrintedList], 0);
      unlink(job);
      destroyJob(job);
      views_[kPrintedList].resize(0);
    }
    InvalidateRect(d, nullptr, TRUE);
    UpdateWindow(d);
    EXPECT_EQ("RX3-1600", dialog_test::text(d, IDC_PROP_MACHINE));
    postClick(d, IDOK);
  });
  EXPECT_EQ(0, countJobs(state_.lists[kPrintedList]));
}

// The properties and device-settings dialogs come back where they were
// closed; the version dialog always opens at its template position.
TEST_F(PropertiesTest, DialogsRememberTheirPlaceForTheRun) {
  jMcnTable* table = machineTable({{"RX3-1600", 1}});
  DeviceSettingsRequest request{table, "", ""};
  DeviceSettingsRequest ink{table, "", "", true};
  const struct {
    const char* title;
    std::function<void()> open;
    bool remembers;
  } dialogs[] = {
      {kProperties, [&] { openJobProperties(owner_, &state_, kPrintList); }, true},
      {kDevices, [&] { runDeviceSettingsDialog(owner_, &request); }, true},
      {kInkSettings, [&] { runDeviceSettingsDialog(owner_, &ink); }, true},
      {kVersion, [&] { openVersionDialog(owner_, "Vellox for Quaddle", "Version 3.1.22", ""); }, false},
  };
  for (const auto& dialog : dialogs) {
    SCOPED_TRACE(dialog.title);
    RECT first{};
    DialogScript script;
    script.on(dialog.title, [&](HWND d) {
      first = rectOf(d);
      moveTo(d, first.left + 31, first.top + 17);
      PostMessageA(d, WM_CLOSE, 0, 0);
    });
    script.on(dialog.title, [&](HWND d) {
      EXPECT_EQ(dialog.remembers ? first.left + 31 : first.left, rectOf(d).left);
      EXPECT_EQ(dialog.remembers ? first.top + 17 : first.top, rectOf(d).top);
      postClick(d, IDOK);
    });
    dialog.open();
    dialog.open();
    EXPECT_TRUE(script.finished());
  }
  jMemFree(table);
}

TEST_F(DialogsTest, VersionShowsTheVariantsCaptionTextAndIcon) {
  DialogScript script;
  script.on(kVersion, [](HWND d) {
    EXPECT_EQ("Bannerforge ﾌﾟﾘﾝﾀｳｨﾝﾄﾞｳ", dialog_test::text(d, IDC_VER_CAPTION));
    EXPECT_EQ("Version 3.1.22\nBannerforge 用", dialog_test::text(d, IDC_VER_TEXT));
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendDlgItemMessageA(d, IDC_VER_ICON, STM_GETICON, 0, 0)));
    postClick(d, IDOK);
  });
  EXPECT_EQ(1, openVersionDialog(owner_, "Bannerforge ﾌﾟﾘﾝﾀｳｨﾝﾄﾞｳ", "Version 3.1.22\nBannerforge 用", "IDI_APP_BNF"));
  EXPECT_TRUE(script.finished());
}

std::vector<std::string> comboItems(HWND d) {
  std::vector<std::string> items;
  const LRESULT count = SendDlgItemMessageA(d, IDC_DEV_MACHINES, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[80] = "";
    SendDlgItemMessageA(d, IDC_DEV_MACHINES, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

std::string selectedItem(HWND d) {
  const LRESULT i = SendDlgItemMessageA(d, IDC_DEV_MACHINES, CB_GETCURSEL, 0, 0);
  return i < 0 ? "<none>" : comboItems(d).at(static_cast<std::size_t>(i));
}

TEST_F(DialogsTest, DeviceSettingsOffersTheHostsMachinesSortedAndKeepsTheChoice) {
  jMcnTable* table =
      machineTable({{"RX3-1600", 1}, {"Lumora 64", 1}, {"RX3-1300", 1}, {"Lumora 42", 0}, {"Lumora 30", 1}});
  const struct {
    const char* keyword;
    const char* current;
    std::vector<std::string> listed;
    const char* selected;
    int choose;  // item chosen before the close box
    const char* stored;
  } cases[] = {
      {"Quaddle", "rx3-13", {"Lumora 30", "Lumora 64", "RX3-1300", "RX3-1600"}, "RX3-1300", 3, "RX3-1600"},
      {"Tagwright", "RX3-1600", {"Lumora 30", "Lumora 64"}, "Lumora 30", 1, "Lumora 64"},
      {"Quillet", "", {"RX3-1300", "RX3-1600"}, "RX3-1300", -1, "RX3-1300"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keyword);
    jOemSetText(c.keyword);
    DeviceSettingsRequest request{table, "", ""};
    std::strcpy(request.machine, c.current);
    DialogScript script;
    script.on(kDevices, [&](HWND d) {
      EXPECT_EQ(c.listed, comboItems(d));
      EXPECT_EQ(c.selected, selectedItem(d));
      if (c.choose >= 0) SendDlgItemMessageA(d, IDC_DEV_MACHINES, CB_SETCURSEL, static_cast<WPARAM>(c.choose), 0);
      PostMessageA(d, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(1, runDeviceSettingsDialog(owner_, &request));
    EXPECT_STREQ(c.stored, request.machine);
  }
  jMemFree(table);
}

TEST_F(DialogsTest, DeviceSettingsWithNoMachineOfferedStoresAnEmptyName) {
  jMcnTable* table = machineTable({{"RX3-1600", 0}});
  DeviceSettingsRequest request{table, "", "RX3-1600"};
  DialogScript script;
  script.on(kDevices, [](HWND d) {
    EXPECT_TRUE(comboItems(d).empty());
    postClick(d, IDC_DEV_SETUP);  // nothing to set up
  });
  script.on(kDevices, [](HWND d) { postClick(d, IDOK); });
  EXPECT_EQ(1, runDeviceSettingsDialog(owner_, &request));
  EXPECT_TRUE(script.finished());
  EXPECT_STREQ("", request.machine);
  jMemFree(table);
}

TEST_F(DialogsTest, DeviceSettingsWithoutAMachineTableShowsNothing) {
  std::strcpy(state_.printerFolder, folder_.path().c_str());  // no plug-in in it
  std::strcpy(state_.printerName, "RX3-1600");
  bool shown = false;
  DialogScript script;
  script.on(kDevices, [&](HWND d) {
    shown = true;
    postClick(d, IDOK);
  });
  EXPECT_EQ(1, openDeviceSettings(owner_, &state_));
  EXPECT_FALSE(shown);
  EXPECT_STREQ("RX3-1600", state_.printerName);
}

// The installed plug-in in a printer folder, as both commands reach it: the
// machines are listed, "設定" opens the plug-in's own dialog and the list
// stays open after it. The device settings keep the choice as PRNNAME; the
// ink settings open the chosen machine's account, where the usage typed in
// is saved on OK and a reset after a cartridge change empties it, and leave
// PRNNAME alone.
TEST_F(DialogsTest, SettingsCommandsOverTheInstalledPlugin) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string plugin(self);
  plugin = plugin.substr(0, plugin.find_last_of('\\') + 1) + "RX3.dll";
  const std::string bytes = testing_support::readBytes(plugin);
  ASSERT_FALSE(bytes.empty()) << plugin;
  ASSERT_TRUE(testing_support::writeBytes(file("RX3.dll"), bytes));
  std::strcpy(state_.printerFolder, folder_.path().c_str());
  const auto inkUsed = [](const std::string& machine) {
    InkEntry inks[8] = {};
    return jPdevGetInk(machine.c_str(), inks, 8) == 8 ? inks[0].totalUsed : -1;
  };
  const struct {
    const char* what;
    const char* title;        // the list's
    const char* pluginTitle;  // the plug-in's dialog
    std::function<void(HWND)> inPlugin;
    int64_t used;  // ink 1 afterwards, in picolitres (-1: not looked at)
  } runs[] = {
      {"device settings", kDevices, kPrinterSetup, [](HWND d) { postClick(d, IDCANCEL); }, -1},
      {"usage typed in", kInkSettings, kInkDialog,
       [](HWND d) {
         dialog_test::type(d, kInkUsage1, "5");
         postClick(d, IDOK);
       },
       5000000000},
      {"reset after a cartridge change", kInkSettings, kInkDialog,
       [](HWND d) {
         EXPECT_EQ("5", dialog_test::text(d, kInkUsage1));
         dialog_test::click(d, kInkReset1);
         EXPECT_EQ("0", dialog_test::text(d, kInkUsage1));
         postClick(d, IDOK);
       },
       0},
  };
  std::string chosen;
  for (const auto& run : runs) {
    SCOPED_TRACE(run.what);
    const bool ink = run.title == kInkSettings;
    std::strcpy(state_.printerName, "before");
    DialogScript script;
    script.on(run.title, [&](HWND d) {
      const std::vector<std::string> items = comboItems(d);
      ASSERT_FALSE(items.empty());
      SendDlgItemMessageA(d, IDC_DEV_MACHINES, CB_SETCURSEL, items.size() - 1, 0);
      chosen = items.back();
      postClick(d, IDC_DEV_SETUP);
    });
    script.on(run.pluginTitle, run.inPlugin);
    script.on(run.title, [](HWND d) { postClick(d, IDOK); });
    EXPECT_EQ(1, ink ? openInkSettings(owner_, &state_) : openDeviceSettings(owner_, &state_));
    EXPECT_TRUE(script.finished()) << script.failure();
    EXPECT_EQ(ink ? std::string("before") : chosen, state_.printerName);
    if (run.used >= 0) {
      EXPECT_EQ(run.used, inkUsed(chosen));
    }
  }
}

}  // namespace
}  // namespace vlx
