// The environment dialog and its colour-profile dialog, opened as the main
// window opens them and driven with real messages: open, edit, OK, Cancel
// and every refusal, with their effect on the application state.
#include "dialogs_fixture_win32.h"

#include <string>

namespace vlx {
namespace {

TEST_F(DialogsTest, EnvironmentOpensOnTheGeneralPageWithTheSettings) {
  state_.autoPrint = 0;
  state_.holdJobs = 20;
  DialogScript script;
  script.on(kEnvironment, [](HWND d) {
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
    EXPECT_EQ("20", dialog_test::text(general, IDC_ENV_HOLDJOB));
    EXPECT_EQ(MAKELONG(100, 0), SendDlgItemMessageA(general, IDC_ENV_HOLDJOB_SPIN, UDM_GETRANGE, 0, 0));
    showTab(d, 1);
    EXPECT_TRUE(IsWindowVisible(colorPage(d)));
    EXPECT_FALSE(IsWindowVisible(general));
    postClick(d, IDCANCEL);
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
    script.on(kEnvironment, [&](HWND d) {
      press(generalPage(d), IDC_ENV_AUTO);
      typeCount(d, c.typed);
      postClick(d, IDOK);
    });
    EXPECT_EQ(1, openEnvironment(script));
    EXPECT_EQ(1, state_.autoPrint);
    EXPECT_EQ(c.stored, state_.holdJobs) << c.typed;
  }
}

TEST_F(DialogsTest, EnvironmentCountIsClampedWhenTheEditLosesTheFocus) {
  DialogScript script;
  script.on(kEnvironment, [](HWND d) {
    HWND general = generalPage(d);
    SetFocus(GetDlgItem(general, IDC_ENV_HOLDJOB));
    typeCount(d, "-40");
    SetFocus(GetDlgItem(general, IDC_ENV_AUTO));
    EXPECT_EQ("0", dialog_test::text(general, IDC_ENV_HOLDJOB));
    postClick(d, IDCANCEL);
  });
  openEnvironment(script);
}

TEST_F(DialogsTest, EnvironmentCancelLeavesTheStateExactlyAsBefore) {
  state_.holdJobs = 12;
  const AppState before = state_;
  DialogScript script;
  script.on(kEnvironment, [](HWND d) {
    press(generalPage(d), IDC_ENV_AUTO);
    typeCount(d, "77");
    postClick(d, IDCANCEL);
  });
  EXPECT_EQ(0, openEnvironment(script));
  EXPECT_EQ(0, std::memcmp(&before, &state_, sizeof state_));
}

TEST_F(DialogsTest, ColorPageShowsFileNamesAndTheIntentOnlyWithAnRgbProfile) {
  std::strcpy(state_.rgbProfile, rgb_.c_str());
  std::strcpy(state_.cmykProfile, cmyk_.c_str());
  state_.intent = 1;
  DialogScript script;
  script.on(kEnvironment, [&](HWND d) {
    showTab(d, 1);
    HWND page = colorPage(d);
    EXPECT_EQ(kDefaultRgbProfileName, dialog_test::text(page, IDC_ENV_RGB));
    EXPECT_EQ(kDefaultCmykProfileName, dialog_test::text(page, IDC_ENV_CMYK));
    EXPECT_EQ("相対的色彩", dialog_test::text(page, IDC_ENV_INTENT));
    postClick(d, IDCANCEL);
  });
  openEnvironment(script);

  state_.rgbProfile[0] = '\0';
  DialogScript second;
  second.on(kEnvironment, [&](HWND d) {
    showTab(d, 1);
    EXPECT_EQ("", dialog_test::text(colorPage(d), IDC_ENV_INTENT));
    postClick(d, IDCANCEL);
  });
  openEnvironment(second);
}

TEST_F(DialogsTest, ProfilesChosenInTheProfileDialogAreAppliedOnOk) {
  state_.intent = 0;
  DialogScript script;
  script.on(kEnvironment, [](HWND d) {
    showTab(d, 1);
    postClick(colorPage(d), IDC_ENV_SET_PROFILES);
  });
  script.on(kProfiles, [&](HWND p) {
    SetDlgItemTextA(p, 101, rgb_.c_str());
    SetDlgItemTextA(p, 103, cmyk_.c_str());
    SendDlgItemMessageA(p, 105, CB_SETCURSEL, 3, 0);
    postClick(p, IDOK);
  });
  script.on(kEnvironment, [](HWND d) {
    dialog_test::pump();
    EXPECT_EQ("絶対的色彩", dialog_test::text(colorPage(d), IDC_ENV_INTENT));
    postClick(d, IDOK);
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
  script.on(kEnvironment, [](HWND d) {
    showTab(d, 1);
    postClick(colorPage(d), IDC_ENV_SET_PROFILES);
  });
  script.on(kProfiles, [](HWND p) {
    SetDlgItemTextA(p, 103, "");
    postClick(p, IDOK);
  });
  script.on(kEnvironment, [](HWND d) {
    dialog_test::pump();
    EXPECT_EQ("", dialog_test::text(colorPage(d), IDC_ENV_RGB));
    postClick(d, IDOK);
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
    script.on(kProfiles, [&](HWND p) {
      SetDlgItemTextA(p, c.edit, c.path.c_str());
      postClick(p, IDOK);
    });
    script.answer(kProfileBox);
    script.on(kProfiles, [](HWND p) { postClick(p, IDCANCEL); });  // still open after the refusal
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
  postClick(open, IDOK);
}

TEST_F(DialogsTest, ProfileDialogBrowsesForAProfileAndRefusesOtherFiles) {
  ASSERT_TRUE(testing_support::writeBytes(file("photo.icc"), std::string(300, 'j')));
  jProfileBlock block{};
  block.intent = -1;
  DialogScript script;
  script.on(kProfiles, [](HWND p) {
    EXPECT_EQ(0, SendDlgItemMessageA(p, 105, CB_GETCURSEL, 0, 0)) << "an intent never set shows the first";
    EXPECT_EQ(4, SendDlgItemMessageA(p, 105, CB_GETCOUNT, 0, 0));
    postClick(p, 102);
  });
  script.on("開く", [&](HWND open) { chooseFile(open, file("photo.icc")); });
  script.answer(kProfileBox);
  script.on(kProfiles, [](HWND p) {
    EXPECT_EQ("", dialog_test::text(p, 101)) << "a refused file is not taken";
    postClick(p, 102);
  });
  script.on("開く", [&](HWND open) { chooseFile(open, rgb_); });
  script.on(kProfiles, [&](HWND p) {
    EXPECT_TRUE(dialog_test::text(p, 101).ends_with(std::string("\\") + kDefaultRgbProfileName))
        << dialog_test::text(p, 101);
    postClick(p, IDOK);
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
  script.on(kEnvironment, [](HWND d) {
    showTab(d, 1);
    moveTo(d, 123, 77);
    postClick(d, IDCANCEL);
  });
  script.on(kEnvironment, [](HWND d) {
    EXPECT_EQ(123, rectOf(d).left);
    EXPECT_EQ(77, rectOf(d).top);
    EXPECT_EQ(0, SendDlgItemMessageA(d, IDC_ENV_TABS, TCM_GETCURSEL, 0, 0));
    EXPECT_TRUE(IsWindowVisible(generalPage(d)));
    postClick(d, IDOK);
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
    script.on(kEnvironment, [&](HWND d) {
      press(generalPage(d), IDC_ENV_AUTO);
      if (c.typed) typeCount(d, c.typed);
      postClick(d, IDOK);
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
}  // namespace
}  // namespace vlx
