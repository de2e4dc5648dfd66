// The complete main window driven with real messages: its layout and
// splitter, the command states of menu and toolbar, print and cancel, the
// list notifications and the refused close. Message boxes are answered by a
// thread timer, so no test waits for a person.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/resources/resource.h"
#include "app/shell/app_defaults.h"
#include "app/shell/main_window_win32.h"
#include "app/shell/soft_proof_window_win32.h"
#include "platform/scratch_folder.h"
#include "test_main_window_win32.h"
#include "tests/support/dialog_script_win32.h"

namespace vlx {
namespace {

// Answers every message box of this thread with `answer` and keeps its text.
struct BoxAnswerer {
  static inline int answer = IDOK;
  static inline std::vector<std::string> texts;

  static BOOL CALLBACK closeBox(HWND box, LPARAM) {
    char className[16] = "";
    GetClassNameA(box, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(box)) return TRUE;
    char text[512] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    texts.push_back(text);
    const int id = GetDlgItem(box, answer) ? answer : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    return TRUE;
  }
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), closeBox, 0); }
};

class MainWindowWiring : public ::testing::Test {
 protected:
  void SetUp() override {
    BoxAnswerer::texts.clear();
    BoxAnswerer::answer = IDOK;
    timer_ = SetTimer(nullptr, 0, 30, BoxAnswerer::tick);
    initJobListLock();
    create(kQuaddle);
  }
  void TearDown() override {
    close();
    KillTimer(nullptr, timer_);
    deleteJobListLock();
  }

  // saved: MAINRC1-4 and LISTRC1-4 as a previous run left them, or null.
  void create(int variant, const int32_t* savedMain = nullptr, const int32_t* savedList = nullptr) {
    setDefaults(&state_, variantRecord(variant));
    if (savedMain) std::memcpy(state_.mainRect, savedMain, sizeof state_.mainRect);
    if (savedList) std::memcpy(state_.listRect, savedList, sizeof state_.listRect);
    window_ = createTestMainWindow(&state_, &context_, variant, "VLXS3_WIRING_TEST");
    ASSERT_NE(window_, nullptr);
    pump();
  }
  void close() {
    if (!IsWindow(window_)) return;
    {
      JobListLock lock;
      for (JobRecord* head : state_.lists) {
        for (JobRecord* r = nextOf(head); r; r = nextOf(r)) r->state = Idle;
      }
    }
    SendMessageA(window_, WM_CLOSE, 0, 0);
    pump();
  }
  static void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }

  // Only the size messages the drag posted: while the window holds the
  // capture, the bench's real cursor would send moves of its own.
  void relayout() {
    MSG message;
    while (PeekMessageA(&message, window_, WM_SIZE, WM_SIZE, PM_REMOVE)) DispatchMessageA(&message);
  }
  HWND child(int id) const { return GetDlgItem(window_, id); }
  RECT clientRectOf(HWND control) const {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  int heightOfChild(int id) const {
    RECT r{};
    GetWindowRect(child(id), &r);
    return r.bottom - r.top;
  }
  void resizeClient(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_APPWINDOW);
    SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOMOVE);
    pump();
  }

  // Jobs appended to a list and shown, as a scan would leave them.
  void addJobs(int listIndex, std::initializer_list<int32_t> states) {
    JobListLock lock;
    for (int32_t s : states) {
      JobRecord* record = createJob();
      ASSERT_NE(record, nullptr);
      record->state = s;
      std::strcpy(record->machineName, "RX3-1600");
      ASSERT_TRUE(append(record, state_.lists[listIndex]));
    }
    refreshJobView(&state_, ViewFill::Rebuild, listIndex);
    refreshStatusColumn(&state_, listIndex);
  }
  void select(int listIndex, int row) {
    HWND list = state_.listViews[listIndex];
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (row < 0) return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
  std::vector<int32_t> printStates() {
    std::vector<int32_t> states;
    for (JobRecord* r = nextOf(state_.lists[kPrintList]); r; r = nextOf(r)) states.push_back(r->state);
    return states;
  }
  std::string cell(int listIndex, int row, int column) {
    char text[64] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(state_.listViews[listIndex], LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return text;
  }
  void command(int id, int listIndex = 0) {
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, listIndex), 0);
    pump();
  }
  bool menuGrayed(int id) const { return (GetMenuState(GetMenu(window_), id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
  bool toolIndeterminate(int id) const {
    return SendMessageA(child(kToolbarId), TB_ISBUTTONINDETERMINATE, static_cast<WPARAM>(id), 0) != 0;
  }

  AppState state_;
  ShellContext context_;
  HWND window_ = nullptr;
  UINT_PTR timer_ = 0;
};

TEST_F(MainWindowWiring, ChildrenFollowTheLayoutAtSeveralSizes) {
  {
    RECT client{};
    GetClientRect(window_, &client);
    const int A = client.bottom - heightOfChild(kToolbarId) - heightOfChild(kStatusBarId);
    const RECT upper = clientRectOf(child(kUpperListId));
    EXPECT_EQ(upper.bottom - upper.top, (A - 10) / 2) << "even split of the first sizing";
  }
  const int sizes[][2] = {{784, 342}, {640, 480}, {300, 260}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(size[0]);
    resizeClient(size[0], size[1]);
    RECT client{};
    GetClientRect(window_, &client);
    const int W = client.right, H = client.bottom;
    const int T = heightOfChild(kToolbarId), S = heightOfChild(kStatusBarId);
    ASSERT_GT(T, 0);
    ASSERT_GT(S, 0);
    const RECT upper = clientRectOf(child(kUpperListId));
    const RECT lower = clientRectOf(child(kLowerListId));
    const RECT bar = clientRectOf(child(kSplitterId));
    EXPECT_EQ(upper.left, 0);
    EXPECT_EQ(upper.right, W - 132);
    EXPECT_EQ(upper.top, T + 2);
    EXPECT_EQ(bar.top, upper.bottom);
    EXPECT_EQ(bar.bottom, lower.top);
    EXPECT_EQ(lower.top - upper.bottom, 8);
    EXPECT_EQ(lower.bottom, H - S);
    EXPECT_EQ(lower.right, W - 132);
    const RECT panel = clientRectOf(child(kRightPanelId));
    EXPECT_EQ(panel.left, W - 132);
    EXPECT_EQ(panel.top, T + 2);
    EXPECT_EQ(panel.bottom - panel.top, H - S - T);
    const RECT preview = clientRectOf(child(kPreviewPanelId));
    EXPECT_EQ(preview.left, W - 124);
    EXPECT_EQ(preview.top, T + 1);
    EXPECT_EQ(preview.right - preview.left, 116);
    EXPECT_EQ(preview.bottom - preview.top, 155);
  }
}

TEST_F(MainWindowWiring, StatusBarHasFourPartsAndTheProgressBarInPartZero) {
  HWND status = child(kStatusBarId);
  int edges[4] = {};
  ASSERT_EQ(SendMessageA(status, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 4);
  EXPECT_EQ(edges[0], 130);
  EXPECT_EQ(edges[1], 350);
  EXPECT_EQ(edges[2], 450);
  char text[128] = "";
  SendMessageA(status, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "待機中");
  SendMessageA(status, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "手動ﾓｰﾄﾞ");
  SendMessageA(status, SB_GETTEXTA, 3, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "印刷待ちｼﾞｮﾌﾞ数 : 0個     印刷済みｼﾞｮﾌﾞ数 : 0個");
  HWND progress = GetDlgItem(status, kProgressBarId);
  ASSERT_NE(progress, nullptr);
  RECT part{}, bar{};
  SendMessageA(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
  GetWindowRect(progress, &bar);
  MapWindowPoints(nullptr, status, reinterpret_cast<POINT*>(&bar), 2);
  EXPECT_EQ(bar.left, part.left + 3);
  EXPECT_EQ(bar.top, part.top + 2);
  EXPECT_EQ(bar.right - bar.left, part.right - part.left - 5);
  EXPECT_EQ(SendMessageA(progress, PBM_GETRANGE, FALSE, 0), 100);
}

TEST_F(MainWindowWiring, ToolbarHasElevenButtonsWithTheirTips) {
  HWND toolbar = child(kToolbarId);
  EXPECT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 11);
  NMTTDISPINFOA tip{};
  tip.hdr.hwndFrom = toolbar;
  tip.hdr.idFrom = IDM_DELETE_ALL;
  tip.hdr.code = TTN_GETDISPINFOA;
  SendMessageA(window_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip.lpszText, nullptr);
  EXPECT_STREQ(tip.lpszText, "すべて削除");
}

TEST_F(MainWindowWiring, SplitterDragMovesTheSplitAndReleasesTheMouse) {
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  pump();
  const RECT bar = clientRectOf(child(kSplitterId));
  const int y = (bar.top + bar.bottom) / 2;
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, y));
  EXPECT_EQ(GetCapture(), window_);
  SendMessageA(window_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, y + 40));
  relayout();
  EXPECT_EQ(clientRectOf(child(kUpperListId)).bottom, y + 36);
  EXPECT_EQ(clientRectOf(child(kLowerListId)).top, y + 44);
  EXPECT_EQ(clientRectOf(child(kSplitterId)).top, y + 36);
  SendMessageA(window_, WM_LBUTTONUP, 0, MAKELPARAM(20, y + 40));
  EXPECT_NE(GetCapture(), window_);

  // After the release a move only changes the cursor.
  SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(20, y + 80));
  relayout();
  EXPECT_EQ(clientRectOf(child(kUpperListId)).bottom, y + 36);

  // The split survives a resize, and is what close stores.
  resizeClient(700, 500);
  EXPECT_EQ(clientRectOf(child(kUpperListId)).bottom, y + 36);
  close();
  EXPECT_EQ(state_.listRect[3], y + 36);
}

TEST_F(MainWindowWiring, DragBeyondTheWindowStaysAboveTheStatusBar) {
  const RECT bar = clientRectOf(child(kSplitterId));
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, bar.top));
  SendMessageA(window_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 30000));
  pump();
  SendMessageA(window_, WM_LBUTTONUP, 0, 0);
  RECT client{};
  GetClientRect(window_, &client);
  EXPECT_LE(clientRectOf(child(kUpperListId)).bottom, client.bottom - heightOfChild(kStatusBarId));
}

TEST_F(MainWindowWiring, JobCommandsFollowTheSelection) {
  const int commands[] = {IDM_MOVE_TOP, IDM_MOVE_UP,    IDM_MOVE_DOWN,         IDM_MOVE_BOTTOM,
                          IDM_DELETE,   IDM_DELETE_ALL, IDM_MOVE_OTHER_FOLDER, IDM_PROPERTIES};
  for (int id : commands) EXPECT_TRUE(menuGrayed(id)) << id << " with an empty list";
  EXPECT_TRUE(toolIndeterminate(IDM_DELETE));
  EXPECT_FALSE(menuGrayed(IDM_PRINT));
  EXPECT_FALSE(menuGrayed(IDM_PRINT_CANCEL));

  addJobs(kPrintList, {Idle, Idle});
  for (int id : commands) EXPECT_TRUE(menuGrayed(id)) << id << " without a selection";

  select(kPrintList, 1);
  for (int id : commands) EXPECT_FALSE(menuGrayed(id)) << id << " with a selection";
  EXPECT_FALSE(toolIndeterminate(IDM_DELETE));
  EXPECT_FALSE(toolIndeterminate(IDM_PROPERTIES));
  EXPECT_EQ(jobAt(state_.lists[kPrintList], 1)->selected, 1) << "the record follows its row";

  select(kPrintList, -1);
  EXPECT_TRUE(menuGrayed(IDM_DELETE));
  EXPECT_TRUE(toolIndeterminate(IDM_DELETE));
  EXPECT_EQ(jobAt(state_.lists[kPrintList], 1)->selected, 0);

  EXPECT_TRUE(GetMenuState(GetMenu(window_), IDM_PREVIEW, MF_BYCOMMAND) & MF_CHECKED);
  command(IDM_PREVIEW);
  EXPECT_EQ(state_.preview, 0);
  EXPECT_FALSE(GetMenuState(GetMenu(window_), IDM_PREVIEW, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(MainWindowWiring, SoftProofOpensBesideTheQueueForTheSelectedJob) {
  addJobs(kPrintedList, {Idle, Idle});
  {
    JobListLock lock;
    std::strcpy(jobAt(state_.lists[kPrintedList], 1)->path, "C:\\nowhere\\chart.vjx");
  }
  select(kPrintedList, 1);
  command(IDM_SOFT_PROOF, kPrintedList);
  HWND proof = FindWindowA(kSoftProofClass, nullptr);
  ASSERT_NE(proof, nullptr);
  char title[128] = "";
  GetWindowTextA(proof, title, sizeof title);
  EXPECT_STREQ(title, "ｿﾌﾄﾌﾟﾙｰﾌ - chart.vjx");
  EXPECT_EQ(GetWindow(proof, GW_OWNER), nullptr) << "not tied to the queue";
  EXPECT_TRUE(IsWindowEnabled(window_));
  SoftProofFacts facts{};
  for (int i = 0; i < 2000 && softProofFacts(proof, &facts) && facts.running; ++i) {
    pump();
    Sleep(5);
  }
  EXPECT_TRUE(facts.failed) << "a job that cannot be printed has no proof";
  close();
  EXPECT_FALSE(IsWindow(proof)) << "closed with the queue, before the drawing library";
}

BOOL CALLBACK findPreviewTip(HWND tip, LPARAM param) {
  auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(param);  // main window in, tooltip out
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = found->first;
  tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(found->first, kPreviewPanelId));
  if (GetWindow(tip, GW_OWNER) == found->first &&
      SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)))
    found->second = tip;
  return TRUE;
}

TEST_F(MainWindowWiring, ThePreviewTipGivesTheShownJobsInkEstimate) {
  startJobInk([](const char*, const std::atomic<int>&, InkEstimate* out) {
    *out = InkEstimate{};
    std::strcpy(out->account[0].name, "C");
    out->account[0].capacityMl = 220;
    out->account[0].correctionPercent = 100;
    out->picolitres[0] = 1500000000;
    return true;
  });
  testing_support::ScratchFolder folder;
  const std::string path = folder.join("chart.vjx");
  ASSERT_TRUE(testing_support::writeBytes(path, "JOB"));
  addJobs(kPrintList, {Idle});
  {
    JobListLock lock;
    std::strcpy(jobAt(state_.lists[kPrintList], 0)->path, path.c_str());
  }
  select(kPrintList, 0);
  InkEstimate estimate;
  for (int tries = 0; !jobInk(path.c_str(), &estimate) && tries < 2000; ++tries) Sleep(2);
  char lines[512];
  ASSERT_TRUE(formatInkEstimate(estimate, lines, sizeof lines));

  std::pair<HWND, HWND> found{window_, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), findPreviewTip, reinterpret_cast<LPARAM>(&found));
  ASSERT_NE(found.second, nullptr) << "the preview panel has a tooltip";
  NMTTDISPINFOA info{};
  info.hdr.hwndFrom = found.second;
  info.hdr.idFrom = reinterpret_cast<UINT_PTR>(child(kPreviewPanelId));
  info.hdr.code = TTN_GETDISPINFOA;
  SendMessageA(window_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  ASSERT_NE(info.lpszText, nullptr);
  EXPECT_EQ(std::string(info.lpszText), std::string("ｲﾝｸ見積り\r\n") + lines);
  stopJobInk();
}

TEST_F(MainWindowWiring, PrintMarksSelectedOrAllIdleJobsWaiting) {
  addJobs(kPrintList, {Idle, Idle, Printing});
  select(kPrintList, 1);
  command(IDM_PRINT);
  EXPECT_EQ(printStates(), (std::vector<int32_t>{Idle, Waiting, Printing}));
  EXPECT_EQ(cell(kPrintList, 1, 2), "印刷待ち");

  select(kPrintList, 2);
  command(IDM_PRINT);
  EXPECT_EQ(printStates(), (std::vector<int32_t>{Idle, Waiting, Printing})) << "a printing job stays";

  select(kPrintList, -1);
  command(IDM_PRINT);
  EXPECT_EQ(printStates(), (std::vector<int32_t>{Waiting, Waiting, Printing}));
  EXPECT_EQ(cell(kPrintList, 0, 2), "印刷待ち");
  EXPECT_EQ(cell(kPrintList, 2, 2), "印刷中");
}

TEST_F(MainWindowWiring, CancelLeavesAutoPrintAndSaysSo) {
  state_.autoPrint = 1;
  addJobs(kPrintList, {Waiting, Printing, Idle});
  select(kPrintList, 0);
  command(IDM_PRINT_CANCEL);
  EXPECT_EQ(printStates(), (std::vector<int32_t>{Idle, Printing, Idle})) << "only the selected job";
  EXPECT_EQ(state_.autoPrint, 0);
  ASSERT_EQ(BoxAnswerer::texts.size(), 1u);
  EXPECT_EQ(BoxAnswerer::texts[0], "手動実行ﾓｰﾄﾞに変更されました。");
  char text[64] = "";
  SendMessageA(child(kStatusBarId), SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "手動ﾓｰﾄﾞ");

  select(kPrintList, -1);
  command(IDM_PRINT_CANCEL);
  EXPECT_EQ(printStates(), (std::vector<int32_t>{Idle, Idle, Idle}));
  EXPECT_EQ(BoxAnswerer::texts.size(), 1u) << "already in manual mode: no second message";
}

TEST_F(MainWindowWiring, AutoPrintTickMarksIdleJobsAndAsksForARefresh) {
  state_.autoPrint = 1;
  addJobs(kPrintList, {Idle, Idle});
  SendMessageA(window_, WM_TIMER, 1, 0);
  EXPECT_EQ(printStates(), (std::vector<int32_t>{Waiting, Waiting}));
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, window_, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ(LOWORD(message.wParam), IDM_REFRESH);
}

TEST_F(MainWindowWiring, CloseIsRefusedWhileAJobPrints) {
  addJobs(kPrintList, {Printing});
  BoxAnswerer::answer = IDNO;
  SendMessageA(window_, WM_CLOSE, 0, 0);
  pump();
  EXPECT_TRUE(IsWindow(window_));
  ASSERT_EQ(BoxAnswerer::texts.size(), 1u);
  EXPECT_EQ(BoxAnswerer::texts[0], "印刷中のｼﾞｮﾌﾞがあるため終了できません。\n印刷中のｼﾞｮﾌﾞを中止しますか？");
  EXPECT_EQ(printStates(), (std::vector<int32_t>{Printing}));

  BoxAnswerer::answer = IDYES;
  SendMessageA(window_, WM_CLOSE, 0, 0);
  pump();
  EXPECT_TRUE(IsWindow(window_));
  EXPECT_EQ(printStates(), (std::vector<int32_t>{Idle})) << "Yes cancels the printing job";

  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window_)) << "nothing prints any more";
}

TEST_F(MainWindowWiring, DeleteKeyPostsDeleteForThatList) {
  NMLVKEYDOWN key{};
  key.hdr.hwndFrom = child(kLowerListId);
  key.hdr.idFrom = kLowerListId;
  key.hdr.code = LVN_KEYDOWN;
  key.wVKey = VK_DELETE;
  SendMessageA(window_, WM_NOTIFY, kLowerListId, reinterpret_cast<LPARAM>(&key));
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, window_, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ(LOWORD(message.wParam), IDM_DELETE);
  EXPECT_EQ(HIWORD(message.wParam), kPrintedList);
}

TEST_F(MainWindowWiring, DeleteAsksFirstAndNoMeansNothingHappens) {
  addJobs(kPrintedList, {Idle});
  select(kPrintedList, 0);
  BoxAnswerer::answer = IDNO;
  command(IDM_DELETE, kPrintedList);
  ASSERT_EQ(BoxAnswerer::texts.size(), 1u);
  EXPECT_EQ(BoxAnswerer::texts[0], "ジョブを削除します。いいですか？    ");
  EXPECT_EQ(countJobs(state_.lists[kPrintedList]), 1);
}

TEST_F(MainWindowWiring, TheSavedLayoutComesBack) {
  const int T = heightOfChild(kToolbarId);
  close();
  const int32_t main[4] = {40, 30, 740, 530};
  const int32_t list[4] = {0, T + 2, 568, T + 2 + 120};
  create(kQuaddle, main, list);
  RECT rect{};
  GetWindowRect(window_, &rect);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 30);
  EXPECT_EQ(rect.right, 740);
  EXPECT_EQ(rect.bottom, 530);
  const RECT upper = clientRectOf(child(kUpperListId));
  EXPECT_EQ(upper.top, T + 2);
  EXPECT_EQ(upper.bottom, T + 2 + 120);
  EXPECT_EQ(clientRectOf(child(kLowerListId)).top, T + 2 + 128);
}

TEST_F(MainWindowWiring, CloseStoresTheColumnWidthsOfBothLists) {
  SendMessageA(child(kUpperListId), LVM_SETCOLUMNWIDTH, 2, 77);
  SendMessageA(child(kLowerListId), LVM_SETCOLUMNWIDTH, 6, 99);
  close();
  EXPECT_EQ(state_.columnWidths[kPrintList][2], 77);
  EXPECT_EQ(state_.columnWidths[kPrintList][0], 120);
  EXPECT_EQ(state_.columnWidths[kPrintedList][6], 99);
}

TEST_F(MainWindowWiring, MinimumTrackingSizeIs250By220) {
  MINMAXINFO info{};
  SendMessageA(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 250);
  EXPECT_EQ(info.ptMinTrackSize.y, 220);
}

TEST_F(MainWindowWiring, OnlyBannerforgeLosesTheDeviceSettingsItem) {
  EXPECT_NE(GetMenuState(GetSubMenu(GetMenu(window_), 0), IDM_DEVICE_SETTINGS, MF_BYCOMMAND), static_cast<UINT>(-1));
  close();
  create(kBannerforge);
  EXPECT_EQ(GetMenuState(GetSubMenu(GetMenu(window_), 0), IDM_DEVICE_SETTINGS, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_NE(GetMenuState(GetSubMenu(GetMenu(window_), 0), IDM_EXIT, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_NE(GetMenuState(GetSubMenu(GetMenu(window_), 0), IDM_INK_SETTINGS, MF_BYCOMMAND), static_cast<UINT>(-1))
      << "a cartridge is changed whatever the host";
  // The test program's folder holds the built plug-in: a table would open.
  GetModuleFileNameA(nullptr, state_.printerFolder, sizeof state_.printerFolder);
  *std::strrchr(state_.printerFolder, '\\') = '\0';
  command(IDM_DEVICE_SETTINGS);
  EXPECT_TRUE(BoxAnswerer::texts.empty()) << "no dialog opened";
}

TEST_F(MainWindowWiring, MinimiseAndRestoreKeepTheLayoutAndTheSplit) {
  ShowWindow(window_, SW_SHOWNORMAL);
  pump();
  const int toolbar = heightOfChild(kToolbarId);
  const RECT upper = clientRectOf(child(kUpperListId));
  const RECT lower = clientRectOf(child(kLowerListId));
  ShowWindow(window_, SW_MINIMIZE);
  pump();
  ShowWindow(window_, SW_RESTORE);
  pump();
  EXPECT_EQ(toolbar, heightOfChild(kToolbarId)) << "the toolbar keeps one row";
  const RECT upperAfter = clientRectOf(child(kUpperListId));
  const RECT lowerAfter = clientRectOf(child(kLowerListId));
  EXPECT_EQ(upper.top, upperAfter.top);
  EXPECT_EQ(upper.bottom, upperAfter.bottom);
  EXPECT_EQ(lower.top, lowerAfter.top);
  EXPECT_EQ(lower.bottom, lowerAfter.bottom);
  close();
  EXPECT_EQ(upper.bottom - upper.top, state_.listRect[3] - state_.listRect[1]) << "the split is what close stores";
}

TEST_F(MainWindowWiring, DisabledJobCommandsLookAndBehaveDisabled) {
  addJobs(kPrintList, {Idle});
  HWND toolbar = child(kToolbarId);
  for (int id : {IDM_DELETE, IDM_DELETE_ALL, IDM_PROPERTIES})
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, static_cast<WPARAM>(id), 0)) << id;
  // However they arrive (a queued click, a posted key), they do nothing.
  command(IDM_DELETE);
  command(IDM_DELETE_ALL);
  command(IDM_DELETE, kPrintedList);
  EXPECT_TRUE(BoxAnswerer::texts.empty());
  select(kPrintList, 0);
  EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_DELETE, 0));
  BoxAnswerer::answer = IDNO;
  command(IDM_DELETE_ALL);
  EXPECT_EQ(BoxAnswerer::texts.size(), 1u) << "enabled again with a selection";
}

TEST_F(MainWindowWiring, ASavedWindowOffTheScreenOpensOnTheWorkArea) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int32_t saved[][4] = {{5000, 5000, 5700, 5400}, {100, -300, 800, 100}, {-3000, 40, -2300, 440}};
  for (const auto& main : saved) {
    SCOPED_TRACE(main[0]);
    close();
    create(kQuaddle, main);
    RECT rect{};
    GetWindowRect(window_, &rect);
    EXPECT_GE(rect.left, work.left);
    EXPECT_GE(rect.top, work.top);
    EXPECT_LE(rect.right, work.right);
    EXPECT_LE(rect.bottom, work.bottom);
    EXPECT_EQ(rect.right - rect.left, main[2] - main[0]) << "the size is kept";
  }
}

TEST_F(MainWindowWiring, EnvironmentDialogChangesTheModeAndTheFileWrittenAtExit) {
  KillTimer(nullptr, timer_);  // the script answers this dialog, not the box answerer
  testing_support::ScratchFolder folder;
  const std::string environment = folder.join("vellox.ENV");
  std::strcpy(state_.environmentPath, environment.c_str());
  {
    dialog_test::DialogScript script;
    script.on("環境設定", [](HWND d) {
      HWND general = dialog_test::pageWith(d, IDC_ENV_HOLDJOB);
      dialog_test::press(general, IDC_ENV_AUTO);
      SetDlgItemTextA(general, IDC_ENV_HOLDJOB, "33");
      dialog_test::postClick(d, IDOK);
    });
    command(IDM_ENVIRONMENT);
    EXPECT_TRUE(script.finished());
  }
  timer_ = SetTimer(nullptr, 0, 30, BoxAnswerer::tick);
  char text[64] = "";
  SendMessageA(child(kStatusBarId), SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "自動印刷ﾓｰﾄﾞ");
  close();
  const std::string written = testing_support::readBytes(environment);
  EXPECT_NE(written.find("AUTOPRN=ON\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("HOLDJOB=33\r\n"), std::string::npos) << written;
}

}  // namespace
}  // namespace vlx
