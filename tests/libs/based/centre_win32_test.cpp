#include <windows.h>

#include <gtest/gtest.h>

#include "BaseD.h"

namespace {

HWND popup(HWND owner, int x, int y, int width, int height) {
  return CreateWindowExA(0, "STATIC", "centre", WS_POPUP, x, y, width, height, owner, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(SetWinCenterTest, CentresOverTheOwner) {
  HWND owner = popup(nullptr, 100, 100, 600, 400);
  ASSERT_NE(owner, nullptr);
  ShowWindow(owner, SW_SHOWNOACTIVATE);
  HWND dialog = popup(owner, 0, 0, 200, 100);
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(jmtSetWinCenter(dialog), 1);
  RECT placed;
  GetWindowRect(dialog, &placed);
  EXPECT_EQ(placed.left, 100 + (600 - 200) / 2);
  EXPECT_EQ(placed.top, 100 + (400 - 100) / 2);
  EXPECT_EQ(placed.right - placed.left, 200);  // size unchanged
  DestroyWindow(dialog);
  DestroyWindow(owner);
}

TEST(SetWinCenterTest, WithoutOwnerCentresOnTheWorkArea) {
  HWND window = popup(nullptr, 0, 0, 300, 200);
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(jmtSetWinCenter(window), 1);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT placed;
  GetWindowRect(window, &placed);
  EXPECT_NEAR(placed.left, work.left + (work.right - work.left - 300) / 2, 1);
  EXPECT_NEAR(placed.top, work.top + (work.bottom - work.top - 200) / 2, 1);
  DestroyWindow(window);
  EXPECT_EQ(jmtSetWinCenter(nullptr), 0);
}

TEST(SetWinCenterTest, StaysOnTheWorkAreaWhenTheOwnerIsAtTheEdge) {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  HWND owner = popup(nullptr, work.left - 50, work.top - 50, 100, 100);
  ShowWindow(owner, SW_SHOWNOACTIVATE);
  HWND dialog = popup(owner, 0, 0, 400, 300);
  ASSERT_EQ(jmtSetWinCenter(dialog), 1);
  RECT placed;
  GetWindowRect(dialog, &placed);
  EXPECT_EQ(placed.left, work.left);
  EXPECT_EQ(placed.top, work.top);
  DestroyWindow(dialog);
  DestroyWindow(owner);
}

}  // namespace
