// The print queue in the real main window, driven with real messages over
// real folders and the fake drawing library: intake, auto-print in list
// order, a job printed as soon as it settles or is asked for, cancel
// mid-page, delete all while a job prints, and a file another program still
// holds open. Message boxes of every thread of this process
// (the print worker's too) are answered by a timer and their texts kept.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "app/fake_draw.h"
#include "app/jobs/folder_scan.h"
#include "app/jobs/intake_watch.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_lock.h"
#include "app/resources/resource.h"
#include "app/shell/app_defaults.h"
#include "app/shell/main_window_parts_win32.h"
#include "app/shell/main_window_win32.h"
#include "app/shell/print_worker.h"
#include "app/shell/progress_hooks.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"
#include "test_main_window_win32.h"

namespace vlx {
namespace {

using testing_support::writeBytes;

std::atomic<std::int64_t> g_now{0};

struct Boxes {
  static inline int answer = IDYES;
  static inline std::vector<std::string> texts;

  static BOOL CALLBACK closeBox(HWND box, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(box, &process);
    char className[16] = "";
    GetClassNameA(box, className, sizeof className);
    if (process != GetCurrentProcessId() || std::strcmp(className, "#32770") != 0 || !IsWindowVisible(box)) {
      return TRUE;
    }
    char text[512] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    if (!GetPropA(box, "answered")) texts.push_back(text);
    SetPropA(box, "answered", reinterpret_cast<HANDLE>(1));
    const int id = GetDlgItem(box, answer) ? answer : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    return TRUE;
  }
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) { EnumWindows(closeBox, 0); }
};

class PrintQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    Boxes::texts.clear();
    Boxes::answer = IDYES;
    timer_ = SetTimer(nullptr, 0, 30, Boxes::tick);
    useWatchClock([] { return g_now.load(); });
    forgetSeenFiles();
    initJobListLock();
    setDefaults(&state_, variantRecord(kQuaddle));
    hot_ = folder_.join("HotFolder");
    printed_ = folder_.join("MoveFolder");
    platform::createFolder(hot_.c_str());
    platform::createFolder(printed_.c_str());
    platform::copyString(state_.hotFolder, sizeof state_.hotFolder, hot_.c_str());
    platform::copyString(state_.printedFolder, sizeof state_.printedFolder, printed_.c_str());
    window_ = createTestMainWindow(&state_, &context_, kQuaddle, "VLXS3_QUEUE_TEST");
    ASSERT_NE(window_, nullptr);
    pump();
  }
  void TearDown() override {
    release_ = true;
    pumpUntil([] { return !printWorkerRunning(); });
    if (IsWindow(window_)) SendMessageA(window_, WM_CLOSE, 0, 0);
    pump();
    KillTimer(nullptr, timer_);
    forgetSeenFiles();
    useWatchClock(nullptr);
    deleteJobListLock();
  }

  static void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  template <typename Predicate>
  static bool pumpUntil(Predicate done) {
    for (int i = 0; i < 1000; ++i) {
      pump();
      if (done()) return true;
      Sleep(10);
    }
    return false;
  }
  void command(int id, int listIndex = 0) {
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, listIndex), 0);
    pump();
  }
  // A refresh now and one a settling time later: new files are listed.
  void refreshTwice() {
    command(IDM_REFRESH);
    g_now += kSettleMilliseconds;
    command(IDM_REFRESH);
  }
  void dropJob(const std::string& name, const std::string& content) {
    ASSERT_TRUE(writeBytes(hot_ + platform::kSeparator + name, content));
  }
  int rows(int listIndex) const {
    return static_cast<int>(SendMessageA(state_.listViews[listIndex], LVM_GETITEMCOUNT, 0, 0));
  }
  std::string statusText(int part) const {
    char text[128] = "";
    SendMessageA(GetDlgItem(window_, kStatusBarId), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
  }
  int printedFiles() const {
    int count = 0;
    platform::listFolder(printed_.c_str(), [&](const platform::FolderEntry&) { return ++count, true; });
    return count;
  }
  // A print that runs until the test releases it or a cancel stops it.
  void holdPrints() {
    release_ = false;
    fake::library().script = [this](const jProgressHooks& hooks) {
      void* progress = hooks.begin(nullptr);
      hooks.step(progress, 30, "1/1 ﾍﾟｰｼﾞ");
      printing_ = true;
      int running = 1;
      for (int i = 0; i < 1000 && running && !release_; ++i, Sleep(10)) running = hooks.yield(progress);
      hooks.end(progress);
      printing_ = false;
      return running ? 1 : 0;
    };
  }

  fake::UseFakeDraw draw_{progressHooks()};
  testing_support::ScratchFolder folder_;
  std::string hot_, printed_;
  AppState state_;
  ShellContext context_;
  HWND window_ = nullptr;
  UINT_PTR timer_ = 0;
  std::atomic<bool> release_{true};
  std::atomic<bool> printing_{false};
};

TEST_F(PrintQueue, AutoPrintPrintsTheJobsInListOrderAndListsThemAsPrinted) {
  dropJob("a.job", "JOB a");
  dropJob("b.job", "JOB b");
  refreshTwice();
  ASSERT_EQ(rows(kPrintList), 2);
  const std::string first = jobAt(state_.lists[kPrintList], 0)->path;
  const std::string second = jobAt(state_.lists[kPrintList], 1)->path;

  state_.autoPrint = 1;
  SendMessageA(window_, WM_TIMER, 1, 0);  // marks both Waiting and posts the refresh
  pump();
  ASSERT_TRUE(pumpUntil([] { return !printWorkerRunning(); }));
  EXPECT_EQ(rows(kPrintList), 1) << "the first job left the print list";
  command(IDM_REFRESH);
  ASSERT_TRUE(pumpUntil([] { return !printWorkerRunning(); }));
  EXPECT_EQ(rows(kPrintList), 0);
  ASSERT_EQ(fake::library().prints.size(), 2u);
  EXPECT_EQ(fake::fileText(fake::library().prints[0].path.c_str()), "");  // moved away
  EXPECT_EQ(fake::library().prints[0].window, window_);
  EXPECT_EQ(printedFiles(), 2);
  EXPECT_EQ(fake::library().prints[0].path, first);
  EXPECT_EQ(fake::library().prints[1].path, second);

  refreshTwice();
  EXPECT_EQ(rows(kPrintedList), 2);
  EXPECT_EQ(statusText(1), "待機中");
  EXPECT_EQ(statusText(3), "印刷待ちｼﾞｮﾌﾞ数 : 0個     印刷済みｼﾞｮﾌﾞ数 : 2個");
  EXPECT_EQ(SendMessageA(GetDlgItem(GetDlgItem(window_, kStatusBarId), kProgressBarId), PBM_GETPOS, 0, 0), 0);
  EXPECT_TRUE(Boxes::texts.empty());
}

TEST_F(PrintQueue, AJobPrintsAsItSettlesOrIsAskedForAndShowsInItsNewListAtOnce) {
  state_.autoPrint = 1;
  dropJob("a.job", "JOB a");
  // The hot folder's watch gives a new file its first look as it appears.
  ASSERT_TRUE(pumpUntil([] { return filesSettling() == 1; }));
  EXPECT_EQ(rows(kPrintList), 0);
  g_now += kSettleMilliseconds;
  SendMessageA(window_, WM_TIMER, kSettleTimer, 0);  // the settle check alone: no refresh, no tick
  ASSERT_TRUE(pumpUntil([] { return fake::library().prints.size() == 1 && !printWorkerRunning(); }));
  EXPECT_EQ(rows(kPrintList), 0);
  EXPECT_EQ(rows(kPrintedList), 1) << "in the printed list as the print ends";

  state_.autoPrint = 0;
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(state_.listViews[kPrintedList], LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  pump();
  command(IDM_MOVE_OTHER_FOLDER, kPrintedList);
  EXPECT_EQ(rows(kPrintedList), 0);
  ASSERT_EQ(rows(kPrintList), 1) << "back in the print list at once";
  EXPECT_EQ(jobAt(state_.lists[kPrintList], 0)->state, Idle);

  command(IDM_PRINT);  // manual mode: the command itself starts the print
  ASSERT_TRUE(pumpUntil([] { return fake::library().prints.size() == 2 && !printWorkerRunning(); }));
  EXPECT_EQ(fake::library().prints[1].path.rfind(hot_, 0), 0u) << "the restored file, in the hot folder";
  EXPECT_EQ(rows(kPrintedList), 1);
  EXPECT_TRUE(Boxes::texts.empty());
}

TEST_F(PrintQueue, CancelMidPageReportsTheInterruptionAndMovesTheFile) {
  holdPrints();
  dropJob("a.job", "JOB a");
  refreshTwice();
  command(IDM_PRINT);
  command(IDM_REFRESH);
  ASSERT_TRUE(pumpUntil([this] { return printing_.load(); }));
  EXPECT_EQ(statusText(1), "1/1 ﾍﾟｰｼﾞ");
  command(IDM_PRINT_CANCEL);
  ASSERT_TRUE(pumpUntil([] { return !printWorkerRunning(); }));
  EXPECT_EQ(Boxes::texts, std::vector<std::string>{"ﾌﾟﾘﾝﾄが中断されました。"});
  EXPECT_EQ(printedFiles(), 1);
  EXPECT_EQ(rows(kPrintList), 0);
  EXPECT_EQ(statusText(1), "待機中");
}

TEST_F(PrintQueue, DeleteAllWhileAJobPrintsKeepsThePrintingJob) {
  holdPrints();
  for (const char* name : {"a.job", "b.job", "c.job"}) dropJob(name, std::string("JOB ") + name);
  refreshTwice();
  ASSERT_EQ(rows(kPrintList), 3);
  JobRecord* printing = jobAt(state_.lists[kPrintList], 1);
  {
    JobListLock lock;
    printing->state = Waiting;
  }
  command(IDM_REFRESH);
  ASSERT_TRUE(pumpUntil([this] { return printing_.load(); }));
  // Delete all is a selection command: it acts only with a row selected.
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(state_.listViews[kPrintList], LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  pump();
  command(IDM_DELETE_ALL);
  EXPECT_EQ(Boxes::texts, (std::vector<std::string>{"すべてのｼﾞｮﾌﾞを削除します。いいですか？    ",
                                                    "ﾌﾟﾘﾝﾄ中のｼﾞｮﾌﾞの削除はできませんでした。"}));
  EXPECT_EQ(rows(kPrintList), 1);
  EXPECT_EQ(jobAt(state_.lists[kPrintList], 0), printing);
  EXPECT_TRUE(platform::pathExists(printing->path));
  int left = 0;
  platform::listFolder(hot_.c_str(), [&](const platform::FolderEntry&) { return ++left, true; });
  EXPECT_EQ(left, 1);
  release_ = true;
  ASSERT_TRUE(pumpUntil([] { return !printWorkerRunning(); }));
  EXPECT_EQ(printedFiles(), 1);
}

TEST_F(PrintQueue, AFileAnotherProgramHoldsOpenIsNeitherListedNorDeleted) {
  const std::string path = hot_ + platform::kSeparator + "held.job";
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(writer, "JO", 2, &written, nullptr);  // not a job yet: taking it now would delete it
  for (int i = 0; i < 3; ++i) refreshTwice();
  EXPECT_EQ(rows(kPrintList), 0);
  EXPECT_TRUE(platform::pathExists(path.c_str()));
  WriteFile(writer, "B done", 6, &written, nullptr);
  CloseHandle(writer);
  refreshTwice();
  refreshTwice();
  EXPECT_EQ(rows(kPrintList), 1);
}

// The machine's account: 220 ml of every ink, warning at 10 %.
void fillAccount(InkEntry* account) {
  for (int i = 0; i < 8; ++i) {
    std::strcpy(account[i].name, i == 1 ? "M" : "C");
    account[i].capacityMl = 220, account[i].correctionPercent = 100, account[i].warningPercent = 10;
  }
}

// The ink of a job whose file name has "short" in it takes more magenta
// than remains; other jobs fit. Warnings set it against the account as the
// library reads it at the time, so that is filled in too.
bool inkByName(const char* path, const std::atomic<int>&, InkEstimate* out) {
  *out = InkEstimate{};
  fillAccount(out->account);
  out->picolitres[0] = 1000000000;
  if (std::strstr(path, "short")) out->picolitres[1] = 300000000000ULL;
  return true;
}

TEST_F(PrintQueue, AJobShortOfInkAsksInManualModeAndPrintsOnInAutoPrintMode) {
  startJobInk(inkByName);  // in place of the dry runs through a driver
  fillAccount(fake::library().account);
  dropJob("short.job", "JOB short");
  refreshTwice();
  ASSERT_EQ(rows(kPrintList), 1);
  const std::string path = jobAt(state_.lists[kPrintList], 0)->path;
  InkEstimate estimate;
  ASSERT_TRUE(pumpUntil([&] { return jobInk(path.c_str(), &estimate); }));

  Boxes::answer = IDNO;
  command(IDM_PRINT);
  EXPECT_EQ(Boxes::texts,
            std::vector<std::string>{"このｼﾞｮﾌﾞを印刷するとｲﾝｸ残量が不足します。\r\n(M)\r\n\r\n印刷を続けますか？"});
  EXPECT_EQ(jobAt(state_.lists[kPrintList], 0)->state, Idle) << "stopped: nothing was requested";

  Boxes::texts.clear();
  Boxes::answer = IDYES;
  holdPrints();
  state_.autoPrint = 1;
  SendMessageA(window_, WM_TIMER, 1, 0);
  pump();
  ASSERT_TRUE(pumpUntil([this] { return printing_.load(); })) << "auto-print does not wait";
  EXPECT_TRUE(Boxes::texts.empty());
  EXPECT_NE(statusText(3).find("ｲﾝｸ残量不足: M"), std::string::npos) << statusText(3);
  release_ = true;
  ASSERT_TRUE(pumpUntil([] { return !printWorkerRunning(); }));
  EXPECT_EQ(printedFiles(), 1);
}

}  // namespace
}  // namespace vlx
