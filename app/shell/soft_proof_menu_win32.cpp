// The soft-proof window's menu and status bar: the view and ink commands,
// their check marks, and the line that says what the window shows.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "app/shell/soft_proof_parts_win32.h"

namespace vlx {
namespace {

constexpr char kFailedText[] = "ｿﾌﾄﾌﾟﾙｰﾌを作成できませんでした。";

struct MenuItem {
  int command;
  const char* text;
};

constexpr MenuItem kViewMenu[] = {{kProofFit, "全体表示(&F)"},
                                  {kProofDots, "等倍表示(&1)"},
                                  {0, nullptr},
                                  {kProofPreviousPage, "前のﾍﾟｰｼﾞ(&P)"},
                                  {kProofNextPage, "次のﾍﾟｰｼﾞ(&N)"},
                                  {0, nullptr},
                                  {kProofClose, "閉じる(&C)"}};
// The eight inks in the order of the printer's planes.
constexpr MenuItem kInkMenu[] = {
    {kProofInkAll, "全ｲﾝｸ合成(&A)"}, {kProofInkAll + 1, "ｼｱﾝ(&C)"},   {kProofInkAll + 2, "ﾏｾﾞﾝﾀ(&M)"},
    {kProofInkAll + 3, "ｲｴﾛｰ(&Y)"},  {kProofInkAll + 4, "ﾌﾞﾗｯｸ(&K)"}, {kProofInkAll + 5, "ﾗｲﾄｼｱﾝ"},
    {kProofInkAll + 6, "ﾗｲﾄﾏｾﾞﾝﾀ"},  {kProofInkAll + 7, "ﾗｲﾄﾌﾞﾗｯｸ"},  {kProofInkAll + 8, "ﾗｲﾄﾗｲﾄﾌﾞﾗｯｸ"}};

template <size_t N>
HMENU popupOf(const MenuItem (&items)[N]) {
  HMENU menu = CreatePopupMenu();
  for (const MenuItem& item : items)
    AppendMenuA(menu, item.text ? MF_STRING : MF_SEPARATOR, static_cast<UINT_PTR>(item.command), item.text);
  return menu;
}

}  // namespace

HMENU makeSoftProofMenu() {
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popupOf(kViewMenu)), "表示(&V)");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popupOf(kInkMenu)), "ｲﾝｸ(&I)");
  return bar;
}

void SoftProofWindow::onCommand(int command) {
  if (command == kProofClose) {
    PostMessageA(window_, WM_CLOSE, 0, 0);
  } else if (command == kProofPreviousPage || command == kProofNextPage) {
    showPage(picture_.page + (command == kProofNextPage ? 1 : -1));
  } else if (command == kProofFit || command == kProofDots) {
    POINT centre{viewWidth() / 2, viewHeight() / 2};
    setZoom(command == kProofDots, centre);
  } else if (command >= kProofInkAll && command <= kProofInkAll + escp::kPlanes) {
    ink_ = command - kProofInkAll - 1;
    refreshMenu();
    InvalidateRect(window_, nullptr, FALSE);
  }
}

void SoftProofWindow::refreshMenu() {
  HMENU menu = GetMenu(window_);
  const bool ready = !running_ && !failed_;
  EnableMenuItem(menu, kProofFit, MF_BYCOMMAND | (ready ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(menu, kProofDots, MF_BYCOMMAND | (ready ? MF_ENABLED : MF_GRAYED));
  const bool before = ready && picture_.page > 0, after = ready && picture_.page + 1 < picture_.pages;
  EnableMenuItem(menu, kProofPreviousPage, MF_BYCOMMAND | (before ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(menu, kProofNextPage, MF_BYCOMMAND | (after ? MF_ENABLED : MF_GRAYED));
  CheckMenuRadioItem(menu, kProofFit, kProofDots, oneToOne_ ? kProofDots : kProofFit, MF_BYCOMMAND);
  CheckMenuRadioItem(menu, kProofInkAll, kProofInkAll + escp::kPlanes, kProofInkAll + 1 + ink_, MF_BYCOMMAND);
}

void SoftProofWindow::showStatus() {
  char text[160];
  if (running_) {
    std::snprintf(text, sizeof text, "ﾄﾞｯﾄを作成しています... %u KB", static_cast<unsigned>(run_->bytes() / 1024));
  } else if (failed_) {
    std::snprintf(text, sizeof text, "%s", kFailedText);
  } else {
    std::snprintf(text, sizeof text, "%d x %d ﾄﾞｯﾄ  %s  ﾍﾟｰｼﾞ %d/%d", picture_.dotWidth, picture_.dotHeight,
                  oneToOne_ ? "等倍表示" : "全体表示", picture_.page + 1, picture_.pages);
  }
  SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

}  // namespace vlx
