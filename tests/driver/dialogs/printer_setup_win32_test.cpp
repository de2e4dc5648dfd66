// "PRINTERSETUPDLG" through jPrintSetupMachine, driven by real messages.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialog_bench.h"
#include "driver/machines/machine_state.h"
#include "driver/resources/rx3_resource.h"
#include "libs/device/profile_dialog_ids.h"
#include "tests/support/dialog_script_win32.h"

namespace dialog_test {
namespace {

constexpr const char* kSetup = "ﾌﾟﾘﾝﾀ設定";
constexpr const char* kEditor = "用紙ﾌﾟﾛﾌｧｲﾙの編集";

using PrinterSetup = DialogBench;

std::vector<std::string> comboTexts(HWND dialog, int id) {
  std::vector<std::string> texts;
  int count = static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[128] = "";
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

int selected(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

ColorProfile userPaper(const char* name, const char* colourFile, int inkLimit) {
  ColorProfile p;
  jColorProfileInit(&p);
  std::snprintf(p.name, sizeof p.name, "%s", name);
  std::snprintf(p.colorFile1, sizeof p.colorFile1, "%s.ct1", colourFile);
  std::snprintf(p.colorFile2, sizeof p.colorFile2, "%s.ct2", colourFile);
  p.fixed = 0;
  p.inkLimit = inkLimit;
  return p;
}

TEST_F(PrinterSetup, OpensOnTheRecordAndAPaperNamingAResolutionSelectsIt) {
  std::vector<std::string> resolutions, inkSets, margins, papers;
  std::string name, port;
  int resolutionAfterPaper = -1;
  DialogScript script;
  script.on(kSetup, [&](HWND d) {
    name = text(d, IDC_SETUP_NAME);
    port = text(d, IDC_SETUP_PORT_NAME);
    resolutions = comboTexts(d, IDC_SETUP_RESOLUTION);
    inkSets = comboTexts(d, IDC_SETUP_INK_SET);
    margins = comboTexts(d, IDC_SETUP_MARGIN);
    papers = comboTexts(d, IDC_SETUP_PAPER);
    EXPECT_EQ(0, selected(d, IDC_SETUP_RESOLUTION));
    choose(d, IDC_SETUP_PAPER, 1);
    resolutionAfterPaper = selected(d, IDC_SETUP_RESOLUTION);
    click(d, IDCANCEL);
  });
  EXPECT_EQ(0, setupMachine());
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_EQ("EPSON RX-3", name);
  EXPECT_EQ("FILE:output", port);
  EXPECT_EQ((std::vector<std::string>{"720 x 720", "1440 x 720", "1440 x 1440"}), resolutions);
  EXPECT_EQ((std::vector<std::string>{"ﾌｫﾄﾌﾞﾗｯｸ + ｸﾞﾚｰ", "ﾏｯﾄﾌﾞﾗｯｸ + ｸﾞﾚｰ"}), inkSets);
  EXPECT_EQ((std::vector<std::string>{"ﾌﾁあり", "左右ﾌﾁなし", "四辺ﾌﾁなし 1ｶｯﾄ", "四辺ﾌﾁなし 2ｶｯﾄ"}), margins);
  EXPECT_EQ((std::vector<std::string>{"*普通紙 (720x720)", "光沢紙 (1440x720)"}), papers);
  EXPECT_EQ(1, resolutionAfterPaper) << "\"(1440x720)\" in the name selects 1440 x 720";
}

TEST_F(PrinterSetup, AddEditAndDeleteAreSavedAtOnceAndCancelKeepsTheRecord) {
  const std::vector<unsigned char> recordBefore = settingsBytes();
  std::vector<ColorProfile> added = startingPapers(0);
  added.push_back(userPaper("写真用紙", "PLAIN", 180));
  std::vector<ColorProfile> edited = added;
  std::snprintf(edited[2].name, sizeof edited[2].name, "写真用紙 改");
  std::vector<unsigned char> afterAdd, afterEdit, afterDelete;
  std::string addName;
  std::vector<std::string> papersAfterDelete;

  DialogScript script;
  script.on(kSetup, [&](HWND d) { click(d, IDC_SETUP_ADD_PAPER); })
      .on(kEditor,
          [&](HWND e) {
            addName = text(e, IDC_CPF_NAME);
            SetDlgItemTextA(e, IDC_CPF_NAME, "写真用紙");
            SetDlgItemTextA(e, IDC_CPF_INK_LIMIT, "180");
            click(e, IDOK);
          })
      .on(kSetup,
          [&](HWND d) {
            afterAdd = testing_support::readByteVector(file("RX3.cpf0"));
            click(d, IDC_SETUP_EDIT_PAPER);
          })
      .on(kEditor,
          [&](HWND e) {
            SetDlgItemTextA(e, IDC_CPF_NAME, "写真用紙 改");
            click(e, IDOK);
          })
      .on(kSetup,
          [&](HWND d) {
            afterEdit = testing_support::readByteVector(file("RX3.cpf0"));
            click(d, IDC_SETUP_DELETE_PAPER);
          })
      .answer("用紙の削除", IDYES)
      .on(kSetup, [&](HWND d) {
        afterDelete = testing_support::readByteVector(file("RX3.cpf0"));
        papersAfterDelete = comboTexts(d, IDC_SETUP_PAPER);
        EXPECT_EQ(1, selected(d, IDC_SETUP_PAPER)) << "the new last paper";
        click(d, IDCANCEL);
      });
  EXPECT_EQ(0, setupMachine());
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_EQ("普通紙 (720x720)+", addName);
  EXPECT_EQ(paperFileBytes(added), afterAdd);
  EXPECT_EQ(paperFileBytes(edited), afterEdit);
  EXPECT_EQ(paperFileBytes(startingPapers(0)), afterDelete);
  EXPECT_EQ((std::vector<std::string>{"*普通紙 (720x720)", "光沢紙 (1440x720)"}), papersAfterDelete);
  EXPECT_EQ(recordBefore, settingsBytes());
}

struct Refusal {
  const char* what;
  int papers;  // user papers after the built-in one (49 fills the list)
  int paper;   // selected before the button
  int button;
  const char* caption;
  const char* message;
};

const Refusal kRefusals[] = {
    {"built-in edit", 1, 0, IDC_SETUP_EDIT_PAPER, "ﾌﾟﾛﾌｧｲﾙの編集",
     "このﾌﾟﾛﾌｧｲﾙは変更できません。\nﾌﾟﾛﾌｧｲﾙの追加作成をしてから編集してください。"},
    {"built-in delete", 1, 0, IDC_SETUP_DELETE_PAPER, "用紙の削除", "この用紙を削除することはできません。"},
    {"last paper", 0, 0, IDC_SETUP_DELETE_PAPER, "用紙の削除ｴﾗｰ", "すべての用紙を削除することはできません。"},
    {"full list", 49, 1, IDC_SETUP_ADD_PAPER, "用紙の追加ｴﾗｰ", "これ以上、用紙を追加できません。"},
};

TEST_F(PrinterSetup, RefusedListChangesShowTheirMessageAndLeaveTheFile) {
  for (const Refusal& r : kRefusals) {
    std::vector<ColorProfile> papers;
    if (r.papers == 0) {
      papers.push_back(userPaper("唯一の用紙", "ONLY", 100));
    } else {
      papers.push_back(startingPapers(0)[0]);
      for (int i = 0; i < r.papers; ++i) papers.push_back(userPaper(("用紙" + std::to_string(i)).c_str(), "P", 100));
    }
    writePapers(0, papers);
    const std::vector<unsigned char> before = testing_support::readByteVector(file("RX3.cpf0"));
    int count = 0;
    DialogScript script;
    script
        .on(kSetup,
            [&](HWND d) {
              choose(d, IDC_SETUP_PAPER, r.paper);
              click(d, r.button);
            })
        .answer(r.caption, IDOK)
        .on(kSetup, [&](HWND d) {
          count = static_cast<int>(SendDlgItemMessageA(d, IDC_SETUP_PAPER, CB_GETCOUNT, 0, 0));
          click(d, IDCANCEL);
        });
    EXPECT_EQ(0, setupMachine()) << r.what;
    ASSERT_TRUE(script.finished()) << r.what << ": " << script.failure();
    ASSERT_EQ(1u, script.messages().size()) << r.what;
    EXPECT_EQ(r.message, script.messages()[0]) << r.what;
    EXPECT_EQ(static_cast<int>(papers.size()), count) << r.what;
    EXPECT_EQ(before, testing_support::readByteVector(file("RX3.cpf0"))) << r.what;
  }
}

TEST_F(PrinterSetup, TheEditorRefusesValuesOutOfRangeInsteadOfBendingThem) {
  const std::vector<unsigned char> before = testing_support::readByteVector(file("RX3.cpf0"));
  struct Entry {
    int field;
    const char* text;
  };
  // The full table of refusals is checked without a window; here the
  // dialog's wiring: a refusal keeps the editor open, Cancel keeps the file.
  const Entry refused[] = {{IDC_CPF_INK_LIMIT, "4294967696"}, {IDC_CPF_DRAW_OPTION, "256"}};
  DialogScript script;
  script.on(kSetup, [&](HWND d) { click(d, IDC_SETUP_ADD_PAPER); });
  for (const Entry& entry : refused) {
    script.on(kEditor, [&](HWND e) {
      SetDlgItemTextA(e, IDC_CPF_NAME, "新しい紙");
      SetDlgItemTextA(e, IDC_CPF_INK_LIMIT, "150");
      SetDlgItemTextA(e, IDC_CPF_DRAW_OPTION, "0");
      SetDlgItemTextA(e, entry.field, entry.text);
      click(e, IDOK);
    });
    script.answer("ﾌﾟﾛﾌｧｲﾙの編集", IDOK);
  }
  script.on(kEditor, [](HWND e) { click(e, IDCANCEL); }).on(kSetup, [](HWND d) { click(d, IDCANCEL); });
  EXPECT_EQ(0, setupMachine());
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_EQ(std::size(refused), script.messages().size());
  EXPECT_EQ(before, testing_support::readByteVector(file("RX3.cpf0")));
}

TEST_F(PrinterSetup, MarginModeGatesThePaperCutAndAbsentOptionsStayAbsent) {
  record_.state->bidirectional = -1;
  bool cutAt[4] = {};
  bool bidirectionalEnabled = true;
  DialogScript script;
  script.on(kSetup, [&](HWND d) {
    bidirectionalEnabled = enabled(d, IDC_SETUP_BIDIRECTIONAL);
    for (int mode : {2, 3, 0, 1}) {
      choose(d, IDC_SETUP_MARGIN, mode);
      MSG m;
      while (PeekMessageA(&m, d, 0, 0, PM_REMOVE)) DispatchMessageA(&m);  // the posted command 102
      cutAt[mode] = enabled(d, IDC_SETUP_PAPER_CUT);
    }
    CheckDlgButton(d, IDC_SETUP_PAPER_CUT, BST_UNCHECKED);
    click(d, IDOK);
  });
  EXPECT_EQ(1, setupMachine());
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_FALSE(bidirectionalEnabled);
  EXPECT_TRUE(cutAt[0]);
  EXPECT_TRUE(cutAt[1]);
  EXPECT_FALSE(cutAt[2]);
  EXPECT_FALSE(cutAt[3]);
  EXPECT_EQ(-1, record_.state->bidirectional);
  EXPECT_EQ(0, record_.state->paperCut);
  EXPECT_EQ(1, record_.state->marginMode);

  record_.state->paperCut = -1;
  bool cutVisible = true;
  DialogScript hidden;
  hidden.on(kSetup, [&](HWND d) {
    cutVisible = visible(d, IDC_SETUP_PAPER_CUT);
    click(d, IDOK);
  });
  EXPECT_EQ(1, setupMachine());
  ASSERT_TRUE(hidden.finished()) << hidden.failure();
  EXPECT_FALSE(cutVisible);
  EXPECT_EQ(-1, record_.state->paperCut);
}

TEST_F(PrinterSetup, ReopeningPlacesTheDialogWhereItWasClosed) {
  RECT closedAt{}, reopenedAt{};
  DialogScript script;
  script
      .on(kSetup,
          [&](HWND d) {
            SetWindowPos(d, nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            GetWindowRect(d, &closedAt);
            click(d, IDCANCEL);
          })
      .on(kSetup, [&](HWND d) {
        GetWindowRect(d, &reopenedAt);
        click(d, IDCANCEL);
      });
  setupMachine();
  setupMachine();
  ASSERT_TRUE(script.finished()) << script.failure();
  EXPECT_EQ(closedAt.left, reopenedAt.left);
  EXPECT_EQ(closedAt.top, reopenedAt.top);
}

}  // namespace
}  // namespace dialog_test
