// The dialogs of the main window, opened as the main window opens them and
// driven with real messages: open, edit, OK, Cancel and every refusal, with
// their effect on the application state.
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
#include "app/jobs/list_view_fake.h"
#include "app/jobs/print_journal.h"
#include "app/resources/resource.h"
#include "app/shell/app_defaults.h"
#include "app/shell/environment_file.h"
#include "app/shell/variant.h"
#include "dialog_script_win32.h"
#include "platform/scratch_folder.h"
#include "tools/icc-profiles/icc_writer.h"

namespace vlx {
namespace {

using dialog_test::click;
using dialog_test::DialogScript;
using dialog_test::findDialog;
using dialog_test::pageWith;
using dialog_test::press;
using dialog_test::textOf;

constexpr char kEnvironment[] = "環境設定";
constexpr char kProfiles[] = "ｶﾗｰﾌﾟﾛﾌｧｲﾙの選択";
constexpr char kProfileBox[] = "ｶﾗｰﾌﾟﾛﾌｧｲﾙ";
constexpr char kProperties[] = "ｼｮﾌﾞ ﾌﾟﾛﾊﾟﾃｨ";
constexpr char kVersion[] = "ﾊﾞｰｼﾞｮﾝ情報";
constexpr char kDevices[] = "ﾃﾞﾊﾞｲｽ設定";
constexpr char kPrinterSetup[] = "ﾌﾟﾘﾝﾀ設定";  // the plug-in's own dialog

RECT rectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

void moveTo(HWND window, int x, int y) {
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
    EXPECT_FALSE(script.timedOut());
    return result;
  }

  std::string file(const char* name) const { return folder_.join(name); }

  testing_support::ScratchFolder folder_;
  const std::string rgb_ = file(kDefaultRgbProfileName);
  const std::string cmyk_ = file(kDefaultCmykProfileName);
  AppState state_{};
  HWND owner_ = nullptr;
};

TEST_F(DialogsTest, EnvironmentOpensOnTheGeneralPageWithTheSettings) {
  state_.autoPrint = 0;
  state_.holdJobs = 20;
  DialogScript script;
  script.then(kEnvironment, [](HWND d) {
    HWND tabs = GetDlgItem(d, IDC_ENV_TABS);
    EXPECT_EQ(2, SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    char text[32] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ("ｶﾗｰ", text);
    EXPECT_EQ(0, SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
    HWND general = generalPage(d);
    EXPECT_TRUE(IsWindowVisible(general));
    EXPECT_FALSE(IsWindowVisible(colorPage(d)));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(general, IDC_ENV_MANUAL));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(general, IDC_ENV_AUTO));
    EXPECT_EQ("20", textOf(general, IDC_ENV_HOLDJOB));
    EXPECT_EQ(MAKELONG(100, 0), SendDlgItemMessageA(general, IDC_ENV_HOLDJOB_SPIN, UDM_GETRANGE, 0, 0));
    showTab(d, 1);
    EXPECT_TRUE(IsWindowVisible(colorPage(d)));
    EXPECT_FALSE(IsWindowVisible(general));
    click(d, IDCANCEL);
  });
  EXPECT_EQ(0, openEnvironment(script));
}

TEST_F(DialogsTest, EnvironmentOkStoresTheModeAndTheClampedCount) {
  const struct {
    const char* typed;
    int32_t stored;
  } cases[] = {{"250", 100}, {"abc", 0}, {"35", 35}};
  for (const auto& c : cases) {
    state_.autoPrint = 0;
    DialogScript script;
    script.then(kEnvironment, [&](HWND d) {
      press(generalPage(d), IDC_ENV_AUTO);
      typeCount(d, c.typed);
      click(d, IDOK);
    });
    EXPECT_EQ(1, openEnvironment(script));
    EXPECT_EQ(1, state_.autoPrint);
    EXPECT_EQ(c.stored, state_.holdJobs) << c.typed;
  }
}

TEST_F(DialogsTest, EnvironmentCountIsClampedWhenTheEditLosesTheFocus) {
  DialogScript script;
  script.then(kEnvironment, [](HWND d) {
    HWND general = generalPage(d);
    SetFocus(GetDlgItem(general, IDC_ENV_HOLDJOB));
    typeCount(d, "-40");
    SetFocus(GetDlgItem(general, IDC_ENV_AUTO));
    EXPECT_EQ("0", textOf(general, IDC_ENV_HOLDJOB));
    click(d, IDCANCEL);
  });
  openEnvironment(script);
}

TEST_F(DialogsTest, EnvironmentCancelLeavesTheStateExactlyAsBefore) {
  state_.holdJobs = 12;
  const AppState before = state_;
  DialogScript script;
  script.then(kEnvironment, [](HWND d) {
    press(generalPage(d), IDC_ENV_AUTO);
    typeCount(d, "77");
    click(d, IDCANCEL);
  });
  EXPECT_EQ(0, openEnvironment(script));
  EXPECT_EQ(0, std::memcmp(&before, &state_, sizeof state_));
}

TEST_F(DialogsTest, ColorPageShowsFileNamesAndTheIntentOnlyWithAnRgbProfile) {
  std::strcpy(state_.rgbProfile, rgb_.c_str());
  std::strcpy(state_.cmykProfile, cmyk_.c_str());
  state_.intent = 1;
  DialogScript script;
  script.then(kEnvironment, [&](HWND d) {
    showTab(d, 1);
    HWND page = colorPage(d);
    EXPECT_EQ(kDefaultRgbProfileName, textOf(page, IDC_ENV_RGB));
    EXPECT_EQ(kDefaultCmykProfileName, textOf(page, IDC_ENV_CMYK));
    EXPECT_EQ("相対的色彩", textOf(page, IDC_ENV_INTENT));
    click(d, IDCANCEL);
  });
  openEnvironment(script);

  state_.rgbProfile[0] = '\0';
  DialogScript second;
  second.then(kEnvironment, [&](HWND d) {
    showTab(d, 1);
    EXPECT_EQ("", textOf(colorPage(d), IDC_ENV_INTENT));
    click(d, IDCANCEL);
  });
  openEnvironment(second);
}

TEST_F(DialogsTest, ProfilesChosenInTheProfileDialogAreAppliedOnOk) {
  state_.intent = 0;
  DialogScript script;
  script.then(kEnvironment, [](HWND d) {
    showTab(d, 1);
    click(colorPage(d), IDC_ENV_SET_PROFILES);
  });
  script.then(kProfiles, [&](HWND p) {
    SetDlgItemTextA(p, 101, rgb_.c_str());
    SetDlgItemTextA(p, 103, cmyk_.c_str());
    SendDlgItemMessageA(p, 105, CB_SETCURSEL, 3, 0);
    click(p, IDOK);
  });
  script.then(kEnvironment, [](HWND d) {
    dialog_test::pump();
    EXPECT_EQ("絶対的色彩", textOf(colorPage(d), IDC_ENV_INTENT));
    click(d, IDOK);
  });
  EXPECT_EQ(1, openEnvironment(script));
  EXPECT_EQ(rgb_, state_.rgbProfile);
  EXPECT_EQ(cmyk_, state_.cmykProfile);
  EXPECT_EQ(3, state_.intent);
}

TEST_F(DialogsTest, OnlyAnRgbProfileLeavesBothEmpty) {
  std::strcpy(state_.rgbProfile, rgb_.c_str());
  std::strcpy(state_.cmykProfile, cmyk_.c_str());
  state_.intent = 2;
  DialogScript script;
  script.then(kEnvironment, [](HWND d) {
    showTab(d, 1);
    click(colorPage(d), IDC_ENV_SET_PROFILES);
  });
  script.then(kProfiles, [](HWND p) {
    SetDlgItemTextA(p, 103, "");
    click(p, IDOK);
  });
  script.then(kEnvironment, [](HWND d) {
    dialog_test::pump();
    EXPECT_EQ("", textOf(colorPage(d), IDC_ENV_RGB));
    click(d, IDOK);
  });
  EXPECT_EQ(1, openEnvironment(script));
  EXPECT_STREQ("", state_.rgbProfile);
  EXPECT_STREQ("", state_.cmykProfile);
  EXPECT_EQ(2, state_.intent);
}

TEST_F(DialogsTest, ProfileDialogRefusesWhatIsNoProfileOfItsSpace) {
  ASSERT_TRUE(testing_support::writeBytes(file("notes.icc"), std::string(400, 'x')));
  const std::string tooLong = "C:\\" + std::string(270, 'p') + ".icc";
  const struct {
    int edit;
    std::string path;
    const char* says;
  } cases[] = {
      {101, file("notes.icc"), "RGB の ICC ﾌﾟﾛﾌｧｲﾙとして読めないﾌｧｲﾙです。"},
      {101, cmyk_, "RGB の ICC ﾌﾟﾛﾌｧｲﾙとして読めないﾌｧｲﾙです。"},
      {103, rgb_, "CMYK の ICC ﾌﾟﾛﾌｧｲﾙとして読めないﾌｧｲﾙです。"},
      {103, file("missing.icc"), "CMYK の ICC ﾌﾟﾛﾌｧｲﾙとして読めないﾌｧｲﾙです。"},
      {101, tooLong, "ﾌｧｲﾙﾊﾟｽが長すぎます（259 ﾊﾞｲﾄまで）。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.substr(0, 60));
    jProfileBlock block{};
    std::strcpy(block.rgbPath, rgb_.c_str());
    std::strcpy(block.cmykPath, cmyk_.c_str());
    DialogScript script;
    script.then(kProfiles, [&](HWND p) {
      SetDlgItemTextA(p, c.edit, c.path.c_str());
      click(p, IDOK);
    });
    script.answer(kProfileBox);
    script.then(kProfiles, [](HWND p) { click(p, IDCANCEL); });  // still open after the refusal
    EXPECT_EQ(0, jCol2ProfileSelectDlg(owner_, &block));
    ASSERT_EQ(1u, script.messages().size());
    EXPECT_EQ(0u, script.messages()[0].find(c.says)) << script.messages()[0];
    EXPECT_EQ(rgb_, block.rgbPath) << "the block changes only on OK";
  }
}

// The system's file dialog: the name typed into its file-name box.
void chooseFile(HWND open, std::string path) {
  constexpr int kFileNameBox = 0x47C;
  for (char& c : path)
    if (c == '/') c = '\\';  // the scratch folder may be named the POSIX way
  SetDlgItemTextA(open, kFileNameBox, path.c_str());
  click(open, IDOK);
}

TEST_F(DialogsTest, ProfileDialogBrowsesForAProfileAndRefusesOtherFiles) {
  ASSERT_TRUE(testing_support::writeBytes(file("photo.icc"), std::string(300, 'j')));
  jProfileBlock block{};
  block.intent = -1;
  DialogScript script;
  script.then(kProfiles, [](HWND p) {
    EXPECT_EQ(0, SendDlgItemMessageA(p, 105, CB_GETCURSEL, 0, 0)) << "an intent never set shows the first";
    EXPECT_EQ(4, SendDlgItemMessageA(p, 105, CB_GETCOUNT, 0, 0));
    click(p, 102);
  });
  script.then("開く", [&](HWND open) { chooseFile(open, file("photo.icc")); });
  script.answer(kProfileBox);
  script.then(kProfiles, [](HWND p) {
    EXPECT_EQ("", textOf(p, 101)) << "a refused file is not taken";
    click(p, 102);
  });
  script.then("開く", [&](HWND open) { chooseFile(open, rgb_); });
  script.then(kProfiles, [&](HWND p) {
    EXPECT_TRUE(textOf(p, 101).ends_with(std::string("\\") + kDefaultRgbProfileName)) << textOf(p, 101);
    click(p, IDOK);
  });
  EXPECT_EQ(1, jCol2ProfileSelectDlg(owner_, &block));
  EXPECT_TRUE(script.finished());
  ASSERT_EQ(1u, script.messages().size());
  EXPECT_EQ(0u, script.messages()[0].find("RGB の ICC ﾌﾟﾛﾌｧｲﾙとして読めないﾌｧｲﾙです。"));
  EXPECT_TRUE(std::string(block.rgbPath).ends_with(kDefaultRgbProfileName));
  EXPECT_STREQ("", block.cmykPath);
  EXPECT_EQ(0, block.intent);
}

TEST_F(DialogsTest, EnvironmentReopensWhereItWasClosedOnTheGeneralTab) {
  DialogScript script;
  script.then(kEnvironment, [](HWND d) {
    showTab(d, 1);
    moveTo(d, 123, 77);
    click(d, IDCANCEL);
  });
  script.then(kEnvironment, [](HWND d) {
    EXPECT_EQ(123, rectOf(d).left);
    EXPECT_EQ(77, rectOf(d).top);
    EXPECT_EQ(0, SendDlgItemMessageA(d, IDC_ENV_TABS, TCM_GETCURSEL, 0, 0));
    EXPECT_TRUE(IsWindowVisible(generalPage(d)));
    click(d, IDOK);
  });
  openEnvironmentDialog(owner_, &state_);
  EXPECT_EQ(1, openEnvironment(script));
}

// The printed-job count: a stored value the user did not touch survives OK
// (even -1, keep everything), and lowering it below the printed jobs held
// asks first; No keeps the old count and everything else of the dialog.
TEST_F(DialogsTest, EnvironmentKeepsAnUntouchedCountAndAsksBeforeLoweringIt) {
  const struct {
    int32_t stored;
    const char* typed;  // null: the field is left alone
    int answer;         // 0: no question may come
    int32_t kept;
  } cases[] = {
      {-1, nullptr, 0, -1}, {500, nullptr, 0, 500}, {500, "1", IDNO, 500}, {500, "1", IDYES, 1}, {2, "5", 0, 5},
  };
  state_.lists[kPrintedList] = createJob();
  for (int i = 0; i < 3; ++i) append(createJob(), state_.lists[kPrintedList]);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed ? c.typed : "untouched");
    state_.holdJobs = c.stored;
    state_.autoPrint = 0;
    DialogScript script;
    script.then(kEnvironment, [&](HWND d) {
      press(generalPage(d), IDC_ENV_AUTO);
      if (c.typed) typeCount(d, c.typed);
      click(d, IDOK);
    });
    if (c.answer) script.answer("owner", c.answer);
    EXPECT_EQ(1, openEnvironment(script));
    EXPECT_EQ(c.kept, state_.holdJobs);
    EXPECT_EQ(1, state_.autoPrint) << "the rest of the dialog holds";
    ASSERT_EQ(script.messages().size(), c.answer ? 1u : 0u);
    if (c.answer) {
      EXPECT_NE(std::string::npos, script.messages()[0].find(" 2 件")) << script.messages()[0];
    }
  }
}

// Two jobs of the printed list, in rows a fake view reports selected.
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
  FakeJobListView views_[2];
};

TEST_F(PropertiesTest, TheSelectedJobIsShownFieldByField) {
  views_[kPrintedList].select({0});
  DialogScript script;
  script.then(kProperties, [](HWND d) {
    EXPECT_EQ("VJX（専用ﾌｧｲﾙ）", textOf(d, IDC_PROP_KIND));
    EXPECT_EQ("C:\\vellox\\MoveFolder\\x.vjx", textOf(d, IDC_PROP_PATH));
    EXPECT_EQ("2026年 12月 08日  07時 06分 05秒", textOf(d, IDC_PROP_DATE));
    EXPECT_EQ("4 KB", textOf(d, IDC_PROP_FILE_SIZE));
    EXPECT_EQ(0u, textOf(d, IDC_PROP_PRINT_SIZE).find("横 "));
    EXPECT_EQ("RX3-1600", textOf(d, IDC_PROP_MACHINE));
    click(d, IDOK);
  });
  EXPECT_EQ(1, openJobProperties(owner_, &state_, kPrintedList));
  EXPECT_TRUE(script.finished());
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
  DialogScript script;
  script.then(kProperties, [&](HWND d) {
    EXPECT_EQ("見積り中...", textOf(d, IDC_PROP_INK));
    release = 1;
    for (int i = 0; i < 400 && textOf(d, IDC_PROP_INK) == "見積り中..."; ++i) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
      Sleep(10);
    }
    EXPECT_EQ("C       2.200 ml  残量の 1.0%", textOf(d, IDC_PROP_INK));
    click(d, IDOK);
  });
  EXPECT_EQ(1, openJobProperties(owner_, &state_, kPrintedList));
  EXPECT_TRUE(script.finished());
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
  DialogScript script;
  script.then(kProperties, [](HWND d) {
    const std::string history = textOf(d, IDC_PROP_HISTORY);
    const std::size_t failed = history.find("失敗");
    EXPECT_NE(std::string::npos, failed) << history;
    EXPECT_NE(std::string::npos, history.find("ﾎﾟｰﾄがﾀｲﾑｱｳﾄしました")) << history;
    EXPECT_GT(history.find("印刷済み"), failed) << "oldest first";
    click(d, IDOK);
  });
  EXPECT_EQ(1, openJobProperties(owner_, &state_, kPrintedList));
  EXPECT_TRUE(script.finished());
  useJournalFile(nullptr);
}

TEST_F(PropertiesTest, WithoutASelectedJobItSaysSo) {
  DialogScript script;
  script.then(kProperties, [](HWND d) {
    EXPECT_EQ("情報なし（選択されていません）", textOf(d, IDC_PROP_TITLE));
    for (int id :
         {IDC_PROP_KIND, IDC_PROP_PATH, IDC_PROP_DATE, IDC_PROP_FILE_SIZE, IDC_PROP_PRINT_SIZE, IDC_PROP_MACHINE})
      EXPECT_EQ("", textOf(d, id)) << id;
    PostMessageA(d, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(1, openJobProperties(owner_, &state_, kPrintList));
  EXPECT_TRUE(script.finished());
}

TEST_F(PropertiesTest, AJobThatVanishesWhileOpenStaysOnScreen) {
  views_[kPrintedList].select({0});
  DialogScript script;
  script.then(kProperties, [&](HWND d) {
    {
      JobListLock lock;
      JobRecord* job = jobAt(state_.lists[kPrintedList], 0);
      unlink(job);
      destroyJob(job);
      views_[kPrintedList].resize(0);
    }
    InvalidateRect(d, nullptr, TRUE);
    UpdateWindow(d);
    EXPECT_EQ("RX3-1600", textOf(d, IDC_PROP_MACHINE));
    click(d, IDOK);
  });
  EXPECT_EQ(1, openJobProperties(owner_, &state_, kPrintedList));
  EXPECT_EQ(0, countJobs(state_.lists[kPrintedList]));
}

// The properties and device-settings dialogs come back where they were
// closed; the version dialog always opens at its template position.
TEST_F(PropertiesTest, DialogsRememberTheirPlaceForTheRun) {
  jMcnTable* table = static_cast<jMcnTable*>(jMemAlloc(sizeof(jMcnTable)));
  table->count = 1;
  std::strcpy(table->entries[0].name, "RX3-1600");
  table->entries[0].usable = 1;
  DeviceSettingsRequest request{table, "", ""};
  const struct {
    const char* title;
    std::function<void()> open;
    bool remembers;
  } dialogs[] = {
      {kProperties, [&] { openJobProperties(owner_, &state_, kPrintList); }, true},
      {kDevices, [&] { runDeviceSettingsDialog(owner_, &request); }, true},
      {kVersion, [&] { openVersionDialog(owner_, "Vellox for Quaddle", "Version 3.1.22", ""); }, false},
  };
  for (const auto& dialog : dialogs) {
    SCOPED_TRACE(dialog.title);
    RECT first{};
    DialogScript script;
    script.then(dialog.title, [&](HWND d) {
      first = rectOf(d);
      moveTo(d, first.left + 31, first.top + 17);
      PostMessageA(d, WM_CLOSE, 0, 0);
    });
    script.then(dialog.title, [&](HWND d) {
      EXPECT_EQ(dialog.remembers ? first.left + 31 : first.left, rectOf(d).left);
      EXPECT_EQ(dialog.remembers ? first.top + 17 : first.top, rectOf(d).top);
      click(d, IDOK);
    });
    dialog.open();
    dialog.open();
    EXPECT_TRUE(script.finished());
  }
  jMemFree(table);
}

TEST_F(DialogsTest, VersionShowsTheVariantsCaptionTextAndIcon) {
  DialogScript script;
  script.then(kVersion, [](HWND d) {
    EXPECT_EQ("Bannerforge ﾌﾟﾘﾝﾀｳｨﾝﾄﾞｳ", textOf(d, IDC_VER_CAPTION));
    EXPECT_EQ("Version 3.1.22\nBannerforge 用", textOf(d, IDC_VER_TEXT));
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendDlgItemMessageA(d, IDC_VER_ICON, STM_GETICON, 0, 0)));
    click(d, IDOK);
  });
  EXPECT_EQ(1, openVersionDialog(owner_, "Bannerforge ﾌﾟﾘﾝﾀｳｨﾝﾄﾞｳ", "Version 3.1.22\nBannerforge 用", "IDI_APP_BNF"));
  EXPECT_TRUE(script.finished());
}

// A machine table as the drawing library hands it over.
jMcnTable* machineTable(std::initializer_list<std::pair<const char*, int32_t>> machines) {
  auto* table = static_cast<jMcnTable*>(jMemAlloc(offsetof(jMcnTable, entries) + machines.size() * sizeof(jMcnEntry)));
  for (const auto& [name, usable] : machines) {
    std::strcpy(table->entries[table->count].name, name);
    table->entries[table->count++].usable = usable;
  }
  return table;
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
  if (i < 0) return "<none>";
  char text[80] = "";
  SendDlgItemMessageA(d, IDC_DEV_MACHINES, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
  return text;
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
    script.then(kDevices, [&](HWND d) {
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
  script.then(kDevices, [](HWND d) {
    EXPECT_TRUE(comboItems(d).empty());
    click(d, IDC_DEV_SETUP);  // nothing to set up
  });
  script.then(kDevices, [](HWND d) { click(d, IDOK); });
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
  script.then(kDevices, [&](HWND d) {
    shown = true;
    click(d, IDOK);
  });
  EXPECT_EQ(1, openDeviceSettings(owner_, &state_));
  EXPECT_FALSE(shown);
  EXPECT_STREQ("RX3-1600", state_.printerName);
}

// The installed plug-in in a printer folder: its machines are listed, the
// setup opens the plug-in's own dialog and the list stays open after it, the
// choice becomes PRNNAME.
TEST_F(DialogsTest, DeviceSettingsOverTheInstalledPlugin) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string plugin(self);
  plugin = plugin.substr(0, plugin.find_last_of('\\') + 1) + "RX3.dll";
  const std::string bytes = testing_support::readBytes(plugin);
  ASSERT_FALSE(bytes.empty()) << plugin;
  ASSERT_TRUE(testing_support::writeBytes(file("RX3.dll"), bytes));
  std::strcpy(state_.printerFolder, folder_.path().c_str());
  std::string chosen;
  DialogScript script;
  script.then(kDevices, [&](HWND d) {
    const std::vector<std::string> items = comboItems(d);
    ASSERT_FALSE(items.empty());
    SendDlgItemMessageA(d, IDC_DEV_MACHINES, CB_SETCURSEL, items.size() - 1, 0);
    chosen = items.back();
    click(d, IDC_DEV_SETUP);
  });
  script.then(kPrinterSetup, [](HWND d) { click(d, IDCANCEL); });
  script.then(kDevices, [](HWND d) { click(d, IDOK); });
  EXPECT_EQ(1, openDeviceSettings(owner_, &state_));
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(chosen, state_.printerName);
}

}  // namespace
}  // namespace vlx
