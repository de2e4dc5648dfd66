#include "app/shell/command_state.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view_port.h"
#include "app/resources/resource.h"
#include "app/shell/status_texts.h"

namespace vlx {
namespace {

class FakeCommands : public CommandStatePort {
 public:
  void enableCommand(int command, bool enabled) override { enabled_[command] = enabled; }
  void checkCommand(int command, bool checked) override { checked_[command] = checked; }
  std::map<int, bool> enabled_;
  std::map<int, bool> checked_;
};

const std::vector<int> kJobCommands = {IDM_MOVE_TOP, IDM_MOVE_UP,           IDM_MOVE_DOWN,  IDM_MOVE_BOTTOM,
                                       IDM_DELETE,   IDM_MOVE_OTHER_FOLDER, IDM_DELETE_ALL, IDM_PROPERTIES};

TEST(CommandStateTest, JobCommandsNeedASelectedRowWithItsJob) {
  struct Case {
    int selection, count;
    bool enabled;
  } cases[] = {{-1, 0, false}, {-1, 5, false}, {0, 0, false}, {0, 1, true}, {4, 5, true}, {5, 5, false}};
  for (const Case& c : cases) {
    FakeCommands port;
    updateCommandStates(&port, c.selection, c.count, 1);
    ASSERT_EQ(kJobCommands.size(), port.enabled_.size());
    for (int command : kJobCommands) {
      EXPECT_EQ(c.enabled, port.enabled_.at(command)) << command << " selection " << c.selection << " of " << c.count;
    }
    EXPECT_EQ(0u, port.enabled_.count(IDM_PRINT));
    EXPECT_EQ(0u, port.enabled_.count(IDM_PRINT_CANCEL));
  }
}

TEST(CommandStateTest, PreviewCheckMarkFollowsTheFlag) {
  FakeCommands port;
  updateCommandStates(&port, -1, 0, 2);
  EXPECT_TRUE(port.checked_.at(IDM_PREVIEW));
  updateCommandStates(&port, -1, 0, 0);
  EXPECT_FALSE(port.checked_.at(IDM_PREVIEW));
}

std::vector<std::string> menuTexts(int list, bool selected) {
  std::vector<std::string> texts;
  for (const ContextMenuItem& item : contextMenuOf(list)) {
    if (isSeparator(item)) {
      texts.push_back("-");
      continue;
    }
    texts.push_back(std::string(item.text) + (contextItemEnabled(item, selected) ? "" : " (off)") + " " +
                    std::to_string(item.command));
  }
  return texts;
}

TEST(CommandStateTest, PrintListContextMenu) {
  const std::vector<std::string> withSelection = {"印刷 40007",
                                                  "印刷中止 40005",
                                                  "-",
                                                  "一番上に移動 40013",
                                                  "１つ上に移動 40023",
                                                  "１つ下に移動 40025",
                                                  "一番下に移動 40014",
                                                  "-",
                                                  "印刷済みﾌｫﾙﾀﾞへ移動 40026",
                                                  "削除 40010",
                                                  "すべて削除 40011",
                                                  "-",
                                                  "ｿﾌﾄﾌﾟﾙｰﾌ 40030",
                                                  "ﾌﾟﾛﾊﾟﾃｨ 40021"};
  EXPECT_EQ(withSelection, menuTexts(0, true));
  const std::vector<std::string> without = {"印刷 40007",
                                            "印刷中止 40005",
                                            "-",
                                            "一番上に移動 (off) 40013",
                                            "１つ上に移動 (off) 40023",
                                            "１つ下に移動 (off) 40025",
                                            "一番下に移動 (off) 40014",
                                            "-",
                                            "印刷済みﾌｫﾙﾀﾞへ移動 (off) 40026",
                                            "削除 (off) 40010",
                                            "すべて削除 (off) 40011",
                                            "-",
                                            "ｿﾌﾄﾌﾟﾙｰﾌ (off) 40030",
                                            "ﾌﾟﾛﾊﾟﾃｨ (off) 40021"};
  EXPECT_EQ(without, menuTexts(0, false));
}

TEST(CommandStateTest, PrintedListContextMenu) {
  const std::vector<std::string> without = {"印刷ﾌｫﾙﾀﾞへ移動 (off) 40026", "削除 (off) 40010",
                                            "すべて削除 (off) 40011",      "-",
                                            "ｿﾌﾄﾌﾟﾙｰﾌ (off) 40030",        "ﾌﾟﾛﾊﾟﾃｨ (off) 40021"};
  EXPECT_EQ(without, menuTexts(1, false));
  EXPECT_EQ("印刷ﾌｫﾙﾀﾞへ移動 40026", menuTexts(1, true).front());
  EXPECT_TRUE(contextMenuOf(2).empty());
  EXPECT_TRUE(contextMenuOf(-1).empty());
}

TEST(CommandStateTest, ContextCommandCarriesTheListIndexHigh) {
  EXPECT_EQ(0x00019C4Aul, contextCommandParam(IDM_DELETE, 1));
  EXPECT_EQ(40007ul, contextCommandParam(IDM_PRINT, 0));
}

// A view whose only selected row is the second.
class SecondRowSelected : public JobListView {
 public:
  int nextSelected(int after) const override { return after < 1 ? 1 : -1; }
  int rowCount() const override { return 2; }
  void deleteAllRows() override {}
  void insertRow(int, const char*, int) override {}
  void setCell(int, int, const char*) override {}
  void setImage(int, int) override {}
  void setSelectedFocused(int) override {}
};

TEST(CommandStateTest, ApplicationListsGiveSelectionCountAndPreview) {
  JobRecord records[4] = {};
  for (JobRecord& r : records) resetJob(&r, 0);
  AppState state{};
  state.lists[0] = &records[0];
  state.lists[1] = &records[3];
  append(&records[1], &records[0]);
  append(&records[2], &records[0]);
  SecondRowSelected view;
  state.viewPorts[0] = &view;
  state.viewPorts[1] = &view;  // a selection without jobs behind it
  state.preview = 1;

  FakeCommands port;
  updateCommandStates(&port, &state, 0);
  EXPECT_TRUE(port.enabled_.at(IDM_DELETE));
  EXPECT_TRUE(port.checked_.at(IDM_PREVIEW));
  updateCommandStates(&port, &state, 1);
  EXPECT_FALSE(port.enabled_.at(IDM_DELETE));

  const StatusFacts facts = statusFactsOf(state, false);
  EXPECT_EQ(2, facts.printJobs);
  EXPECT_EQ(0, facts.printedJobs);
}

// ---- status bar --------------------------------------------------------------

class FakeStatusBar : public StatusBarPort {
 public:
  void setPartText(int part, const char* text) override { texts_[part] = text; }
  std::map<int, std::string> texts_;
};

TEST(StatusTextsTest, DefaultTextsOfTheThreeParts) {
  FakeStatusBar bar;
  const StatusFacts idleManual{false, 0, 3, 12};
  for (int part = 1; part <= 3; ++part) updateStatusPart(&bar, part, nullptr, idleManual);
  EXPECT_EQ("待機中", bar.texts_[1]);
  EXPECT_EQ("手動ﾓｰﾄﾞ", bar.texts_[2]);
  EXPECT_EQ("印刷待ちｼﾞｮﾌﾞ数 : 3個     印刷済みｼﾞｮﾌﾞ数 : 12個", bar.texts_[3]);
  updateStatusPart(&bar, 2, nullptr, {false, 1, 0, 0});
  EXPECT_EQ("自動印刷ﾓｰﾄﾞ", bar.texts_[2]);
}

TEST(StatusTextsTest, ActivityRefreshWhilePrintingKeepsTheProgressText) {
  FakeStatusBar bar;
  const StatusFacts printing{true, 1, 1, 0};
  updateStatusPart(&bar, 1, "ﾍﾟｰｼﾞ 1/2 印刷中", printing);
  updateStatusPart(&bar, 1, nullptr, printing);
  EXPECT_EQ("ﾍﾟｰｼﾞ 1/2 印刷中", bar.texts_[1]);
  updateStatusPart(&bar, 1, nullptr, {false, 1, 0, 0});
  EXPECT_EQ("待機中", bar.texts_[1]);
}

TEST(StatusTextsTest, GivenTextsWinAndOtherPartsAreLeftAlone) {
  FakeStatusBar bar;
  updateStatusPart(&bar, 3, "ok", {false, 0, 1, 1});
  updateStatusPart(&bar, 0, "progress", {false, 0, 1, 1});
  updateStatusPart(&bar, 4, nullptr, {false, 0, 1, 1});
  EXPECT_EQ(1u, bar.texts_.size());
  EXPECT_EQ("ok", bar.texts_[3]);
}

TEST(CommandStateTest, DisabledJobCommandsAreRefusedWhicheverWayTheyArrive) {
  for (int command : kJobCommands) {
    if (command == IDM_PROPERTIES) continue;
    EXPECT_FALSE(commandAllowed(command, -1, 3)) << command << " without a selection";
    EXPECT_FALSE(commandAllowed(command, 3, 3)) << command << " with a row past the jobs";
    EXPECT_TRUE(commandAllowed(command, 0, 3)) << command;
  }
  EXPECT_TRUE(commandAllowed(IDM_PROPERTIES, -1, 0)) << "its dialog says nothing is selected";
  for (int command : {IDM_PRINT, IDM_PRINT_CANCEL, IDM_ENVIRONMENT, IDM_VERSION, IDM_REFRESH, IDM_PREVIEW})
    EXPECT_TRUE(commandAllowed(command, -1, 0)) << command;
}

}  // namespace
}  // namespace vlx
