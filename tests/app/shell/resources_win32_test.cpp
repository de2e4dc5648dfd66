// The resources inside the built vellox.exe, read from the program file as
// data: texts byte for byte as the "A" functions hand them out (code page 932).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/resources/resource.h"

namespace {

class ProgramResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char module[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    std::string path(module, n);
    path = path.substr(0, path.find_last_of('\\')) + "\\vellox.exe";
    program_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  static void TearDownTestSuite() {
    if (program_ != nullptr) FreeLibrary(program_);
    program_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(program_, nullptr) << "vellox.exe beside the test program"; }

  static std::string string(int id) {
    char text[260] = "";
    LoadStringA(program_, static_cast<UINT>(id), text, sizeof text);
    return text;
  }

  static HMODULE program_;
};
HMODULE ProgramResources::program_ = nullptr;

TEST_F(ProgramResources, CaptionsAndVersionTexts) {
  EXPECT_EQ(string(IDS_CAPTION_DEFAULT), "Vellox for Quaddle");
  EXPECT_EQ(string(IDS_CAPTION_QUADDLE), "Vellox for Quaddle");
  EXPECT_EQ(string(IDS_CAPTION_TAGWRIGHT), "Vellox for Tagwright");
  EXPECT_EQ(string(IDS_CAPTION_BANNERFORGE), "Bannerforge ﾌﾟﾘﾝﾀｳｨﾝﾄﾞｳ");
  EXPECT_EQ(string(IDS_VERSION_DEFAULT), "Version 3.1.22");
  for (int id : {IDS_VERSION_QUADDLE, IDS_VERSION_TAGWRIGHT, IDS_VERSION_BANNERFORGE}) {
    EXPECT_EQ(string(id).rfind("Version 3.1.22\n", 0), 0u) << id;
    EXPECT_GT(string(id).size(), sizeof "Version 3.1.22\n") << id;
  }
  EXPECT_FALSE(string(IDS_CAPTION_MERVALE).empty());
  EXPECT_FALSE(string(IDS_VERSION_MERVALE).empty());
}

struct Item {
  const char* text;  // null: separator
  UINT command;
};

// Items of one popup of the main menu.
std::vector<Item> itemsOf(HMENU popup, std::vector<std::string>* texts) {
  std::vector<Item> items;
  texts->clear();
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    char text[128] = "";
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info);
    texts->push_back((info.fType & MFT_SEPARATOR) ? "-" : text);
    items.push_back({nullptr, (info.fType & MFT_SEPARATOR) ? 0 : info.wID});
  }
  return items;
}

TEST_F(ProgramResources, MainMenuHasEveryCommandInOrder) {
  HMENU menu = LoadMenuA(program_, "VLXS_MENU");
  ASSERT_NE(menu, nullptr);
  struct Popup {
    const char* title;
    std::vector<Item> items;
  };
  const std::vector<Popup> expected = {
      {"ﾌﾟﾘﾝﾄ(&P)",
       {{"印刷(&P)", IDM_PRINT},
        {"印刷中止(&C)", IDM_PRINT_CANCEL},
        {"-", 0},
        {"環境設定(&E)...", IDM_ENVIRONMENT},
        {"ﾃﾞﾊﾞｲｽ設定(&D)...", IDM_DEVICE_SETTINGS},
        {"ｲﾝｸ設定(&I)...", IDM_INK_SETTINGS},
        {"-", 0},
        {"終了(&E)", IDM_EXIT}}},
      {"ｼﾞｮﾌﾞ(&J)",
       {{"一番上に移動(&T)", IDM_MOVE_TOP},
        {"１つ上に移動(&F)", IDM_MOVE_UP},
        {"１つ下に移動(&N)", IDM_MOVE_DOWN},
        {"一番下に移動(&B)", IDM_MOVE_BOTTOM},
        {"-", 0},
        {"印刷済みﾌｫﾙﾀﾞへ移動(&M)...", IDM_MOVE_OTHER_FOLDER},
        {"削除(&D)", IDM_DELETE},
        {"すべて削除(&A)", IDM_DELETE_ALL},
        {"-", 0},
        {"ﾌﾟﾛﾊﾟﾃｨ(&P)...", IDM_PROPERTIES}}},
      {"表示(&V)", {{"ﾌﾟﾚﾋﾞｭ-の表示(&P)", IDM_PREVIEW}, {"-", 0}, {"最新の情報に更新(&N)", IDM_REFRESH}}},
      {"ﾍﾙﾌﾟ(&H)", {{"ﾊﾞｰｼﾞｮﾝ情報(&V)...", IDM_VERSION}}},
  };
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size()));
  for (size_t p = 0; p < expected.size(); ++p) {
    char title[64] = "";
    GetMenuStringA(menu, static_cast<UINT>(p), title, sizeof title, MF_BYPOSITION);
    EXPECT_STREQ(title, expected[p].title);
    std::vector<std::string> texts;
    const std::vector<Item> items = itemsOf(GetSubMenu(menu, static_cast<int>(p)), &texts);
    ASSERT_EQ(items.size(), expected[p].items.size()) << expected[p].title;
    for (size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(texts[i], expected[p].items[i].text);
      EXPECT_EQ(items[i].command, expected[p].items[i].command) << expected[p].items[i].text;
    }
  }
  EXPECT_TRUE(GetMenuState(menu, IDM_PREVIEW, MF_BYCOMMAND) & MF_CHECKED);
  DestroyMenu(menu);
}

TEST_F(ProgramResources, OnlyTheSecondVariantIconIsShipped) {
  EXPECT_NE(FindResourceA(program_, "IDI_APP_BNF", MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
  EXPECT_EQ(FindResourceA(program_, "IDI_APP", MAKEINTRESOURCEA(14)), nullptr);
  EXPECT_EQ(FindResourceA(program_, "SMALL", MAKEINTRESOURCEA(14)), nullptr);
  EXPECT_EQ(FindResourceA(program_, "VLXS3", MAKEINTRESOURCEA(9)), nullptr);  // RT_ACCELERATOR: none shipped
}

}  // namespace
