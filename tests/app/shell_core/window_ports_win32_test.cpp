// The command-state and status-bar ports over real controls.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/resources/resource.h"
#include "app/shell/command_state_win32.h"
#include "app/shell/status_texts_win32.h"

namespace vlx {
namespace {

class WindowPortsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
  }
  void SetUp() override {
    window_ = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 400, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window_);
  }
  void TearDown() override { DestroyWindow(window_); }

  HWND window_ = nullptr;
};

UINT menuState(HMENU menu, int command) {
  return GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
}

TEST_F(WindowPortsTest, CommandStatesReachMenuAndToolbar) {
  HMENU menu = CreateMenu();
  for (int command : kSelectionCommands) AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(command), "x");
  AppendMenuA(menu, MF_STRING, IDM_PREVIEW, "p");
  AppendMenuA(menu, MF_STRING, IDM_PRINT, "print");
  HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | TBSTYLE_TOOLTIPS, 0, 0, 0, 0, window_, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, toolbar);
  SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON buttons[2] = {};
  buttons[0] = {0, IDM_DELETE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
  buttons[1] = {1, IDM_PRINT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
  SendMessageA(toolbar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));

  Win32CommandState port(menu, toolbar);
  updateCommandStates(&port, -1, 3, 1);
  for (int command : kSelectionCommands) EXPECT_TRUE(menuState(menu, command) & MF_GRAYED) << command;
  EXPECT_FALSE(menuState(menu, IDM_PRINT) & MF_GRAYED);
  EXPECT_TRUE(menuState(menu, IDM_PREVIEW) & MF_CHECKED);
  EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONINDETERMINATE, IDM_DELETE, 0));
  EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONINDETERMINATE, IDM_PRINT, 0));

  updateCommandStates(&port, 0, 3, 0);
  for (int command : kSelectionCommands) EXPECT_FALSE(menuState(menu, command) & MF_GRAYED) << command;
  EXPECT_FALSE(menuState(menu, IDM_PREVIEW) & MF_CHECKED);
  EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONINDETERMINATE, IDM_DELETE, 0));
  DestroyMenu(menu);
}

TEST_F(WindowPortsTest, ContextMenusAreBuiltFromTheirTables) {
  HMENU menu = buildContextMenu(0, false);
  ASSERT_NE(nullptr, menu);
  ASSERT_EQ(static_cast<int>(contextMenuOf(0).size()), GetMenuItemCount(menu));
  char text[64] = {};
  GetMenuStringA(menu, 8, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("印刷済みﾌｫﾙﾀﾞへ移動", text);
  EXPECT_FALSE(menuState(menu, IDM_PRINT) & MF_GRAYED);
  EXPECT_FALSE(menuState(menu, IDM_PRINT_CANCEL) & MF_GRAYED);
  EXPECT_TRUE(menuState(menu, IDM_DELETE_ALL) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR);
  DestroyMenu(menu);

  menu = buildContextMenu(1, true);
  ASSERT_NE(nullptr, menu);
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("印刷ﾌｫﾙﾀﾞへ移動", text);
  EXPECT_FALSE(menuState(menu, IDM_PROPERTIES) & MF_GRAYED);
  DestroyMenu(menu);
}

TEST_F(WindowPortsTest, StatusTextsReachTheirParts) {
  HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, bar);
  ASSERT_TRUE(setStatusParts(bar));
  int edges[4] = {};
  ASSERT_EQ(4, SendMessageA(bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)));
  EXPECT_EQ(130, edges[0]);
  EXPECT_EQ(450, edges[2]);

  Win32StatusBar port(bar);
  const StatusFacts facts{false, 1, 2, 5};
  for (int part = 1; part <= 3; ++part) updateStatusPart(&port, part, nullptr, facts);
  const std::string expected[] = {"", "待機中", "自動印刷ﾓｰﾄﾞ", "印刷待ちｼﾞｮﾌﾞ数 : 2個     印刷済みｼﾞｮﾌﾞ数 : 5個"};
  for (int part = 1; part <= 3; ++part) {
    char text[128] = {};
    const LRESULT info = SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(expected[part], text);
    EXPECT_EQ(part == 1 ? SBT_NOBORDERS : 0, HIWORD(info) & SBT_NOBORDERS) << part;
  }
}

}  // namespace
}  // namespace vlx
