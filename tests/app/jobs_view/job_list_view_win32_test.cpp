#include "app/jobs/job_list_view_win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/jobs/job_list.h"
#include "app/resources/artwork/artwork_ids.h"

namespace vlx {
namespace {

std::vector<RowChange> gChanges;

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NOTIFY) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(l);
    if (header->code == LVN_ITEMCHANGED) gChanges.push_back(rowChangeOf(*reinterpret_cast<const NMLISTVIEW*>(l)));
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

class Win32JobListViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = parentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VLX_LIST_TEST";
    RegisterClassA(&windowClass);
  }

  void SetUp() override {
    gChanges.clear();
    parent_ = CreateWindowExA(0, "VLX_LIST_TEST", "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 400, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, parent_);
    list_ = createJobListControl(parent_, 1, GetModuleHandleA(nullptr));
    ASSERT_NE(nullptr, list_);
    view_.attach(list_);
    head_ = newRecord();
    state_.lists[0] = head_;
    state_.viewPorts[0] = &view_;
  }

  void TearDown() override { DestroyWindow(parent_); }

  JobRecord* newRecord() {
    records_.push_back(std::make_unique<JobRecord>());
    resetJob(records_.back().get(), 0);
    return records_.back().get();
  }

  JobRecord* addJob(const char* path, int32_t state) {
    JobRecord* record = newRecord();
    record->state = state;
    std::strcpy(record->path, path);
    append(record, head_);
    return record;
  }

  std::string cell(int row, int column) {
    char text[300] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
  }

  int image(int row) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  }

  HWND parent_ = nullptr;
  HWND list_ = nullptr;
  Win32JobListView view_;
  AppState state_{};
  JobRecord* head_ = nullptr;
  std::vector<std::unique_ptr<JobRecord>> records_;
};

TEST_F(Win32JobListViewTest, ControlHasTheColumnsAndStylesOfAJobList) {
  const int32_t widths[kColumnCount] = {11, 22, 33, 44, 55, 66, 77};
  ASSERT_TRUE(addJobColumns(list_, 1, widths));
  int32_t back[kColumnCount] = {};
  readColumnWidths(list_, back);
  EXPECT_EQ(0, std::memcmp(widths, back, sizeof back));
  for (int column = 0; column < kColumnCount; ++column) {
    char title[64] = {};
    LVCOLUMNA entry{};
    entry.mask = LVCF_TEXT | LVCF_FMT;
    entry.pszText = title;
    entry.cchTextMax = sizeof title;
    ASSERT_TRUE(SendMessageA(list_, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&entry)));
    EXPECT_STREQ(kColumnTitles[1][column], title);
    EXPECT_EQ(LVCFMT_LEFT, entry.fmt & LVCFMT_JUSTIFYMASK);
  }
  EXPECT_STREQ("印刷済みｼﾞｮﾌﾞ", kColumnTitles[1][0]);
  const LONG_PTR style = GetWindowLongPtrA(list_, GWL_STYLE);
  EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  const LRESULT extended = SendMessageA(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
  EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
}

TEST_F(Win32JobListViewTest, RowsCarryTheJobTextsByteForByte) {
  const int32_t widths[kColumnCount] = {120, 150, 60, 115, 60, 120, 150};
  addJobColumns(list_, 0, widths);
  JobRecord* a = addJob("C:\\表\\HotFolder\\VLX000A.vjx", Printing);
  std::strcpy(a->machineName, "RX3-64 ﾛｰﾙ");
  std::strcpy(a->virtualDevice, "仮想ﾃﾞﾊﾞｲｽ");
  std::strcpy(a->port, "LPT1:");
  a->year = 2026, a->month = 12, a->day = 8, a->hour = 3, a->minute = 7;
  addJob("C:\\x\\b.drx", Waiting)->selected = 1;
  addJob("C:\\x\\c.drx", Idle);

  refreshJobView(&state_, ViewFill::Rebuild, 0);
  refreshStatusColumn(&state_, 0);

  ASSERT_EQ(3, view_.rowCount());
  EXPECT_EQ("RX3-64 ﾛｰﾙ", cell(0, kColumnMachine));
  EXPECT_EQ("印刷中", cell(0, kColumnState));
  EXPECT_EQ("2026/12/08 03:07", cell(0, kColumnDate));
  EXPECT_EQ("LPT1:", cell(0, kColumnPort));
  EXPECT_EQ("仮想ﾃﾞﾊﾞｲｽ", cell(0, kColumnVirtualDevice));
  EXPECT_EQ("VLX000A.vjx", cell(0, kColumnFileName));
  EXPECT_EQ("印刷待ち", cell(1, kColumnState));
  EXPECT_EQ("0/00/00 00:00", cell(2, kColumnDate));
  EXPECT_EQ(kImagePrinting, image(0));
  EXPECT_EQ(kImageWaiting, image(1));
  EXPECT_EQ(kImageIdle, image(2));
  EXPECT_EQ(1, firstSelectedRow(&view_));
  EXPECT_EQ(-1, view_.nextSelected(1));
  EXPECT_EQ(1, static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, -1, LVNI_FOCUSED)));

  // Append with two new records adds exactly two rows and keeps the selection.
  addJob("C:\\x\\d.drx", Idle);
  addJob("C:\\x\\e.drx", Idle);
  refreshJobView(&state_, ViewFill::Append, 0);
  ASSERT_EQ(5, view_.rowCount());
  EXPECT_EQ("e.drx", cell(4, kColumnFileName));
  EXPECT_EQ(1, firstSelectedRow(&view_));
}

TEST_F(Win32JobListViewTest, SelectionChangesReachTheRecords) {
  JobRecord* a = addJob("a", Idle);
  JobRecord* b = addJob("b", Idle);
  refreshJobView(&state_, ViewFill::Rebuild, 0);
  gChanges.clear();

  view_.setSelectedFocused(1);
  bool preview = false;
  for (const RowChange& change : gChanges) preview = mirrorRowChange(&state_, 0, change) || preview;
  EXPECT_TRUE(preview);
  EXPECT_EQ(1, b->selected);
  EXPECT_EQ(0, a->selected);

  gChanges.clear();
  LVITEMA off{};
  off.stateMask = LVIS_SELECTED;
  SendMessageA(list_, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&off));
  ASSERT_FALSE(gChanges.empty());
  for (const RowChange& change : gChanges) mirrorRowChange(&state_, 0, change);
  EXPECT_EQ(0, b->selected);
}

TEST_F(Win32JobListViewTest, ArtworkLoadsWithItsSizes) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  struct Strip {
    const char* name;
    int width, height;
  } strips[] = {{VLX_TOOLBAR_BITMAP, 8 * 16, 16}, {VLX_ANIMATION_BITMAP, 11 * 32, 32}};
  for (const Strip& strip : strips) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, strip.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, bitmap) << strip.name;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(strip.width, info.bmWidth) << strip.name;
    EXPECT_EQ(strip.height, info.bmHeight) << strip.name;
    EXPECT_EQ(8, info.bmBitsPixel) << strip.name;
    DeleteObject(bitmap);
  }
  HIMAGELIST frames =
      ImageList_LoadImageA(instance, VLX_ANIMATION_BITMAP, 32, 0, RGB(0, 0, 1), IMAGE_BITMAP, LR_CREATEDIBSECTION);
  ASSERT_NE(nullptr, frames);
  EXPECT_EQ(11, ImageList_GetImageCount(frames));
  ImageList_Destroy(frames);

  HIMAGELIST states = createStateImageList(instance);
  ASSERT_NE(nullptr, states);
  EXPECT_EQ(3, ImageList_GetImageCount(states));
  ImageList_Destroy(states);
  for (int id : {IDI_JOB_PRINTING, IDI_JOB_IDLE, IDI_JOB_WAITING}) {
    HICON large = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(nullptr, large) << id;
    if (large) DestroyIcon(large);
  }
  HCURSOR cursor = LoadCursorA(instance, VLX_SPLITTER_CURSOR);
  EXPECT_NE(nullptr, cursor);
}

}  // namespace
}  // namespace vlx
