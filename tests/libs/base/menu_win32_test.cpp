#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Base.h"

namespace {

constexpr UINT kPrint = 40007;
constexpr UINT kCancel = 40005;
constexpr UINT kPreview = 40019;
constexpr COLORREF kRed = RGB(255, 0, 0);

jMENU g_menu = nullptr;
int g_measured = 0;
int g_drawn = 0;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MEASUREITEM:
      if (jMenuMeasureItem(g_menu, window, reinterpret_cast<void*>(lParam))) {
        ++g_measured;
        return TRUE;
      }
      break;
    case WM_DRAWITEM:
      if (jMenuDrawItem(g_menu, reinterpret_cast<void*>(lParam))) {
        ++g_drawn;
        return TRUE;
      }
      break;
    case WM_TIMER:
      EndMenu();
      KillTimer(window, wParam);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A 32-bit top-down bitmap whose pixels the test reads directly.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;

  Canvas(int w, int h) : width(w), height(h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = static_cast<std::uint32_t*>(bits);
    old = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  COLORREF at(int x, int y) const {
    GdiFlush();
    std::uint32_t p = pixels[y * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int countNot(COLORREF color, int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (at(x, y) != color) ++count;
    return count;
  }
};

class MenuTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BaseMenuTest";
    RegisterClassA(&windowClass);
    bar_ = CreateMenu();
    popup_ = CreatePopupMenu();
    AppendMenuA(popup_, MF_STRING, kPrint, "印刷(&P)\tCtrl+P");
    AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup_, MF_STRING | MF_GRAYED, kCancel, "印刷中止(&C)");
    AppendMenuA(popup_, MF_STRING | MF_CHECKED, kPreview, "ﾌﾟﾚﾋﾞｭ-の表示(&P)");
    AppendMenuA(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup_), "ﾌﾟﾘﾝﾄ(&P)");
    window_ = CreateWindowExA(0, "BaseMenuTest", "menu", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, bar_,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    g_menu = jMenuInit(window_);
    ASSERT_NE(g_menu, nullptr);
    g_measured = g_drawn = 0;
  }
  void TearDown() override {
    if (g_menu) jMenuEnd(g_menu);
    g_menu = nullptr;
    if (window_) DestroyWindow(window_);
  }

  ULONG_PTR itemData(UINT position) const {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_FTYPE;
    GetMenuItemInfoA(popup_, position, TRUE, &info);
    return info.dwItemData;
  }
  UINT itemType(UINT position) const {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(popup_, position, TRUE, &info);
    return info.fType;
  }

  // Sends a real WM_DRAWITEM for the item at position onto the canvas.
  bool draw(Canvas& canvas, UINT position, UINT id, UINT state) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = id;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = reinterpret_cast<HWND>(popup_);
    item.hDC = canvas.dc;
    item.rcItem = RECT{0, 0, canvas.width, canvas.height};
    item.itemData = itemData(position);
    return SendMessageA(window_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)) == TRUE;
  }

  HWND window_ = nullptr;
  HMENU bar_ = nullptr;
  HMENU popup_ = nullptr;
};

// An image strip as the menu takes it (a bitmap of the screen's format):
// 16 high, `paint` drawing on the transparent light grey.
template <class Paint>
HBITMAP makeStrip(int width, Paint paint) {
  Canvas canvas(width, 16);
  RECT all{0, 0, width, 16};
  HBRUSH grey = CreateSolidBrush(RGB(192, 192, 192));
  FillRect(canvas.dc, &all, grey);
  DeleteObject(grey);
  paint(canvas.dc);
  HDC screen = GetDC(nullptr);
  HBITMAP strip = CreateCompatibleBitmap(screen, width, 16);
  HDC target = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(target, strip);
  BitBlt(target, 0, 0, width, 16, canvas.dc, 0, 0, SRCCOPY);
  SelectObject(target, old);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
  return strip;
}

// Two images; the second has a red square.
HBITMAP makeStrip() {
  return makeStrip(32, [](HDC dc) {
    RECT square{16 + 4, 4, 16 + 12, 12};
    HBRUSH red = CreateSolidBrush(kRed);
    FillRect(dc, &square, red);
    DeleteObject(red);
  });
}

// One image: a white square in a black frame.
HBITMAP makeFramedStrip() {
  return makeStrip(16, [](HDC dc) {
    RECT square{3, 3, 13, 13};
    FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  });
}

TEST_F(MenuTest, InitTurnsEveryPopupItemOwnerDrawn) {
  for (UINT i = 0; i < 4; ++i) {
    EXPECT_NE(itemType(i) & MFT_OWNERDRAW, 0u) << i;
    EXPECT_NE(itemData(i), 0u) << i;
  }
  EXPECT_NE(itemType(1) & MFT_SEPARATOR, 0u);
  EXPECT_EQ(jMenuInit(nullptr), nullptr);
}

TEST_F(MenuTest, MeasuresTextItemsTallerThanSeparatorsAndRoomForTheShortcut) {
  MEASUREITEMSTRUCT print{ODT_MENU, 0, kPrint, 0, 0, itemData(0)};
  MEASUREITEMSTRUCT separator{ODT_MENU, 0, 0, 0, 0, itemData(1)};
  MEASUREITEMSTRUCT cancel{ODT_MENU, 0, kCancel, 0, 0, itemData(2)};
  ASSERT_EQ(SendMessageA(window_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&print)), TRUE);
  ASSERT_EQ(SendMessageA(window_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&separator)), TRUE);
  ASSERT_EQ(SendMessageA(window_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&cancel)), TRUE);
  EXPECT_GE(print.itemHeight, 20u);
  EXPECT_LT(separator.itemHeight, print.itemHeight);
  EXPECT_GT(print.itemWidth, 40u);
  EXPECT_GT(cancel.itemWidth, 40u);

  // Someone else's owner-drawn item is left to its owner.
  MEASUREITEMSTRUCT foreign{ODT_MENU, 0, 1, 0, 0, 12345};
  EXPECT_EQ(jMenuMeasureItem(g_menu, window_, &foreign), 0);
}

TEST_F(MenuTest, DrawsTheIconTextCheckMarkAndSelection) {
  HBITMAP strip = makeStrip();
  EXPECT_EQ(jMenuSetIcon(g_menu, kPrint, strip, 1), 1);
  EXPECT_EQ(jMenuSetIcon(g_menu, kCancel, strip, 2), 0);  // no third image
  DeleteObject(strip);                                    // the menu keeps its own copy

  const COLORREF menuColor = GetSysColor(COLOR_MENU);
  Canvas print(200, 24);
  ASSERT_TRUE(draw(print, 0, kPrint, 0));
  // Icon cell 22 wide: image at x 3, y 4; its red square at 4..11.
  EXPECT_EQ(print.at(3 + 8, 4 + 8), kRed);
  EXPECT_EQ(print.at(3 + 1, 4 + 1), menuColor);              // transparent corner
  EXPECT_GT(print.countNot(menuColor, 28, 0, 120, 24), 20);  // the text

  Canvas selected(200, 24);
  ASSERT_TRUE(draw(selected, 0, kPrint, ODS_SELECTED));
  EXPECT_EQ(selected.at(150, 2), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(selected.at(3 + 8, 4 + 8), kRed);

  Canvas preview(200, 24);
  ASSERT_TRUE(draw(preview, 3, kPreview, ODS_CHECKED));
  EXPECT_GT(preview.countNot(menuColor, 0, 0, 22, 24), 3);  // a check mark
  Canvas unchecked(200, 24);
  ASSERT_TRUE(draw(unchecked, 3, kPreview, 0));
  EXPECT_EQ(unchecked.countNot(menuColor, 0, 0, 22, 24), 0);

  Canvas separator(200, 9);
  ASSERT_TRUE(draw(separator, 1, 0, 0));
  EXPECT_GT(separator.countNot(menuColor, 0, 0, 200, 9), 100);  // the line
}

TEST_F(MenuTest, GrayedItemsAreDrawnInGrayText) {
  const COLORREF menuColor = GetSysColor(COLOR_MENU);
  const COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
  Canvas grayed(200, 24);
  ASSERT_TRUE(draw(grayed, 2, kCancel, ODS_GRAYED));
  int grayPixels = 0;
  int textPixels = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 28; x < 150; ++x) {
      if (grayed.at(x, y) == gray) ++grayPixels;
      if (grayed.at(x, y) == GetSysColor(COLOR_MENUTEXT) && gray != GetSysColor(COLOR_MENUTEXT)) ++textPixels;
    }
  EXPECT_GT(grayPixels, 20);
  EXPECT_EQ(textPixels, 0);
  EXPECT_GT(grayed.countNot(menuColor, 28, 0, 150, 24), 20);
}

TEST_F(MenuTest, ACheckedItemWithAnIconShowsTheCheckMarkInItsPlace) {
  HBITMAP strip = makeStrip();
  ASSERT_EQ(jMenuSetIcon(g_menu, kPreview, strip, 1), 1);
  DeleteObject(strip);
  const COLORREF text = GetSysColor(COLOR_MENUTEXT);
  Canvas checked(200, 24);
  ASSERT_TRUE(draw(checked, 3, kPreview, ODS_CHECKED));
  EXPECT_GT(checked.countNot(GetSysColor(COLOR_MENU), 0, 0, 22, 24), 3);
  int markPixels = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 22; ++x) {
      EXPECT_NE(checked.at(x, y), kRed) << "no icon under the check mark";
      if (checked.at(x, y) == text) ++markPixels;
    }
  EXPECT_GT(markPixels, 3) << "the mark in the text colour, as the system draws it";
  Canvas unchecked(200, 24);
  ASSERT_TRUE(draw(unchecked, 3, kPreview, 0));
  EXPECT_EQ(unchecked.at(3 + 8, 4 + 8), kRed) << "off: the icon";
}

TEST_F(MenuTest, ADisabledIconIsEngravedNotABlob) {
  HBITMAP strip = makeFramedStrip();
  ASSERT_EQ(jMenuSetIcon(g_menu, kCancel, strip, 0), 1);
  DeleteObject(strip);
  Canvas grayed(200, 24);
  ASSERT_TRUE(draw(grayed, 2, kCancel, ODS_GRAYED));
  const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
  EXPECT_EQ(grayed.at(3 + 3, 4 + 3), shadow) << "the dark frame in the shadow colour";
  EXPECT_EQ(grayed.at(3 + 3, 4 + 8), shadow);
  EXPECT_EQ(grayed.at(3 + 8, 4 + 8), GetSysColor(COLOR_MENU)) << "the light inside is left out";
  EXPECT_EQ(grayed.at(3 + 13, 4 + 8), GetSysColor(COLOR_3DHILIGHT)) << "the highlight below and right";
}

TEST_F(MenuTest, TheSystemMeasuresAndDrawsThroughTheWindow) {
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  SetTimer(window_, 1, 300, nullptr);
  TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_TOPALIGN, 10, 10, 0, window_, nullptr);
  EXPECT_GE(g_measured, 4);
  EXPECT_GE(g_drawn, 4);
}

TEST_F(MenuTest, EndGivesTheItemsTheirTextsBack) {
  ASSERT_EQ(jMenuEnd(g_menu), 1);
  g_menu = nullptr;
  char text[64];
  GetMenuStringA(popup_, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "印刷(&P)\tCtrl+P");
  GetMenuStringA(popup_, 3, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "ﾌﾟﾚﾋﾞｭ-の表示(&P)");
  for (UINT i = 0; i < 4; ++i) EXPECT_EQ(itemType(i) & MFT_OWNERDRAW, 0u) << i;
  EXPECT_NE(itemType(1) & MFT_SEPARATOR, 0u);
  EXPECT_NE(GetMenuState(popup_, kPreview, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST(RectangleTest, FillsInsideTheFrame) {
  Canvas canvas(40, 40);
  RECT all{0, 0, 40, 40};
  FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ASSERT_EQ(jRectangle(reinterpret_cast<jHDC>(canvas.dc), 10, 10, 20, 20, J_RGB(255, 0, 0), J_RGB(0, 0, 255), 0), 1);
  EXPECT_EQ(canvas.at(10, 10), RGB(255, 0, 0));
  EXPECT_EQ(canvas.at(19, 15), RGB(255, 0, 0));
  EXPECT_EQ(canvas.at(15, 15), RGB(0, 0, 255));
  EXPECT_EQ(canvas.at(20, 20), RGB(255, 255, 255));  // right and bottom are outside
  EXPECT_EQ(canvas.at(9, 9), RGB(255, 255, 255));

  ASSERT_EQ(jRectangle(reinterpret_cast<jHDC>(canvas.dc), 25, 25, 35, 35, J_RGB(0, 128, 0), J_RGB(0, 0, 0), 1), 1);
  EXPECT_EQ(canvas.at(25, 30), RGB(0, 128, 0));
  EXPECT_EQ(canvas.at(30, 30), RGB(255, 255, 255));  // frame only
  EXPECT_EQ(jRectangle(nullptr, 0, 0, 1, 1, 0, 0, 0), 0);
}

}  // namespace
