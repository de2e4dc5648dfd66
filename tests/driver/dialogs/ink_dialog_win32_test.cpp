// "INKDLG" through jPrintSetupInk: edits, reset and "K1をｺﾋﾟｰ" reach the ink
// file on OK only.
#include <windows.h>

#include <cstring>
#include <string>

#include "dialog_bench.h"
#include "driver/ink/ink_dialog_rows.h"
#include "driver/resources/rx3_resource.h"
#include "tests/support/dialog_script_win32.h"

namespace dialog_test {
namespace {

constexpr const char* kInk = "ｲﾝｸ使用量の設定";

class InkDialog : public DialogBench {
 protected:
  void SetUp() override {
    DialogBench::SetUp();
    get<jPrintInk_t>("jPrintLoadInk")(&record_, inks_);
    for (int i = 0; i < 8; ++i) inks_[i].totalUsed = (i + 1) * 1000000000LL + 999999999LL;
    ASSERT_EQ(1, get<jPrintInk_t>("jPrintSaveInk")(&record_, inks_));
  }
  void loadInto(InkEntry* inks) { get<jPrintInk_t>("jPrintLoadInk")(&record_, inks); }
  static int field(int ink, rx3::InkColumn column) { return rx3::kInkRowIds[ink].field[static_cast<int>(column)]; }

  InkEntry inks_[8];
};

using rx3::InkColumn;

TEST_F(InkDialog, EditsResetAndCopyAreWrittenOnOk) {
  std::string usageShown, capacitiesAfterCopy, clamped;
  DialogScript script;
  script.on(kInk, [&](HWND d) {
    usageShown = text(d, field(0, InkColumn::kUsage));
    type(d, field(0, InkColumn::kCapacity), "700");
    click(d, IDC_INK_COPY_K1);
    for (int i = 0; i < 8; ++i) capacitiesAfterCopy += text(d, field(i, InkColumn::kCapacity)) + " ";
    click(d, rx3::kInkRowIds[3].reset);
    type(d, field(1, InkColumn::kUsage), "3");
    type(d, field(4, InkColumn::kWarning), "150");
    type(d, field(5, InkColumn::kCapacity), "10000");
    for (int c : {field(4, InkColumn::kWarning), field(5, InkColumn::kCapacity), field(3, InkColumn::kUsage)})
      clamped += text(d, c) + " ";
    click(d, IDOK);
  });
  EXPECT_EQ(1, setupInk());
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_EQ("1", usageShown) << "1,999,999,999 pl shows as 1 ml";
  EXPECT_EQ("700 700 700 700 700 700 700 700 ", capacitiesAfterCopy);
  EXPECT_EQ("100 10000 0 ", clamped);

  InkEntry expected[8];
  std::memcpy(expected, inks_, sizeof expected);
  for (InkEntry& ink : expected) ink.capacityMl = 700;
  expected[3].totalUsed = 0;
  expected[1].totalUsed = 3000000000LL;
  expected[4].warningPercent = 100;
  expected[5].capacityMl = 10000;
  InkEntry saved[8];
  loadInto(saved);
  for (int i = 0; i < 8; ++i) {
    EXPECT_STREQ(expected[i].name, saved[i].name) << i;
    EXPECT_EQ(expected[i].color, saved[i].color) << i;
    EXPECT_EQ(expected[i].totalUsed, saved[i].totalUsed) << i;
    EXPECT_EQ(expected[i].lastPage, saved[i].lastPage) << i;
    EXPECT_EQ(expected[i].capacityMl, saved[i].capacityMl) << i;
    EXPECT_EQ(expected[i].correctionPercent, saved[i].correctionPercent) << i;
    EXPECT_EQ(expected[i].warningPercent, saved[i].warningPercent) << i;
  }
}

TEST_F(InkDialog, CancelLeavesTheInkFileUntouched) {
  const std::vector<unsigned char> before = testing_support::readByteVector(file("EPSON RX-3.ink"));
  ASSERT_FALSE(before.empty());
  DialogScript script;
  script.on(kInk, [&](HWND d) {
    type(d, field(0, InkColumn::kCapacity), "900");
    click(d, IDC_INK_COPY_K1);
    click(d, rx3::kInkRowIds[0].reset);
    click(d, IDCANCEL);
  });
  EXPECT_EQ(0, setupInk());
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_EQ(before, testing_support::readByteVector(file("EPSON RX-3.ink")));
}

TEST_F(InkDialog, NameBoxesArePaintedInTheInkColour) {
  COLORREF painted[8] = {};
  DialogScript script;
  script.on(kInk, [&](HWND d) {
    for (int i = 0; i < 8; ++i) {
      HWND box = GetDlgItem(d, rx3::kInkRowIds[i].nameBox);
      RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      HDC dc = GetDC(box);
      RECT r{};
      GetClientRect(box, &r);
      painted[i] = GetPixel(dc, r.right - 5, 1);
      ReleaseDC(box, dc);
    }
    click(d, IDCANCEL);
  });
  setupInk();
  ASSERT_TRUE(script.finished()) << script.failure();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(inks_[i].color, painted[i]) << inks_[i].name;
}

}  // namespace
}  // namespace dialog_test
