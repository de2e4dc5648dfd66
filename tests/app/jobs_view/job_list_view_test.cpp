#include "app/jobs/job_list_view.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/jobs/job_list.h"
#include "app/jobs/print_journal.h"
#include "fake_job_list_view.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

// Two lists of records owned by the test (no device handles, no blocks).
class JobListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int list = 0; list < 2; ++list) {
      heads_[list] = newRecord();
      state_.lists[list] = heads_[list];
      state_.viewPorts[list] = &views_[list];
    }
  }

  JobRecord* newRecord() {
    records_.push_back(std::make_unique<JobRecord>());
    JobRecord* record = records_.back().get();
    resetJob(record, 0);
    return record;
  }

  JobRecord* addJob(int list, const char* path, int32_t state = Idle) {
    JobRecord* record = newRecord();
    record->state = state;
    std::strcpy(record->path, path);
    append(record, heads_[list]);
    return record;
  }

  std::vector<std::string> row(int list, int n) {
    const FakeRow& r = views_[list].rows.at(n);
    return std::vector<std::string>(std::begin(r.texts), std::end(r.texts));
  }

  AppState state_{};
  FakeJobListView views_[2];
  JobRecord* heads_[2] = {};
  std::vector<std::unique_ptr<JobRecord>> records_;
};

TEST_F(JobListViewTest, RebuildFillsEveryColumnOfEveryRow) {
  JobRecord* a = addJob(0, "C:\\v\\HotFolder\\VLX000A.vjx", Waiting);
  std::strcpy(a->machineName, "RX3-64 ﾛｰﾙ");
  std::strcpy(a->port, "FILE:");
  std::strcpy(a->virtualDevice, "仮想ﾌﾟﾘﾝﾀ1");
  a->year = 2026, a->month = 3, a->day = 7, a->hour = 9, a->minute = 5, a->second = 59;
  addJob(0, "C:\\v\\HotFolder\\b.drx");
  views_[0].rows.resize(5);  // rows of an earlier fill go

  refreshJobView(&state_, ViewFill::Rebuild, 0);
  refreshStatusColumn(&state_, 0);

  ASSERT_EQ(2, views_[0].rowCount());
  EXPECT_EQ((std::vector<std::string>{"", "RX3-64 ﾛｰﾙ", "印刷待ち", "2026/03/07 09:05", "FILE:", "仮想ﾌﾟﾘﾝﾀ1",
                                      "VLX000A.vjx"}),
            row(0, 0));
  EXPECT_EQ((std::vector<std::string>{"", "", "", "0/00/00 00:00", "", "", "b.drx"}), row(0, 1));
  EXPECT_EQ(kImageWaiting, views_[0].rows[0].image);
  EXPECT_EQ(kImageIdle, views_[0].rows[1].image);
  EXPECT_TRUE(views_[1].rows.empty());
}

TEST_F(JobListViewTest, StatusColumnShowsEveryState) {
  addJob(0, "a", Idle);
  addJob(0, "b", Waiting);
  addJob(0, "c", Printing);
  addJob(0, "d", Fresh);
  refreshJobView(&state_, ViewFill::Rebuild, 0);
  for (const FakeRow& r : views_[0].rows) EXPECT_EQ(kImageIdle, r.image);  // until the status column follows
  refreshStatusColumn(&state_, 0);
  const std::vector<std::pair<std::string, int>> expected = {
      {"", kImageIdle}, {"印刷待ち", kImageWaiting}, {"印刷中", kImagePrinting}, {"ｴﾗｰ", kImageIdle}};
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(expected[n].first, views_[0].rows[n].texts[kColumnState]) << n;
    EXPECT_EQ(expected[n].second, views_[0].rows[n].image) << n;
  }
  // The texts as the program shows them, byte for byte.
  EXPECT_EQ(std::string("\x88\xf3\x8d\xfc\x91\xd2\x82\xbf"), stateText(Waiting));
  EXPECT_EQ(std::string("\xb4\xd7\xb0"), stateText(0));
}

// A printed job's state is its last attempt from the print journal, with
// the reason of one that did not print; a job the journal does not know
// shows nothing.
TEST_F(JobListViewTest, PrintedJobsShowTheirLastAttemptFromTheJournal) {
  testing_support::ScratchFolder folder;
  useJournalFile(folder.join("PrintJournal.csv").c_str());
  const struct {
    const char* file;
    JournalOutcome outcome;
    const char* reason;
    const char* shown;
  } cases[] = {
      {"good.vjx", JournalOutcome::Printed, "", "印刷済み 2026/05/01 10:22"},
      {"bad.vjx", JournalOutcome::Failed, "ﾎﾟｰﾄがﾀｲﾑｱｳﾄしました", "失敗 2026/05/01 10:22 ﾎﾟｰﾄがﾀｲﾑｱｳﾄしました"},
      {"stop.vjx", JournalOutcome::Cancelled, "ﾌﾟﾘﾝﾄが中断されました。",
       "中断 2026/05/01 10:22 ﾌﾟﾘﾝﾄが中断されました。"},
      {"unknown.vjx", JournalOutcome::Printed, nullptr, ""},
  };
  for (const auto& c : cases) {
    const std::string moved = folder.join(c.file);
    addJob(1, moved.c_str(), Idle);
    if (!c.reason) continue;
    JournalEntry e;
    e.started = e.ended = platform::LocalTime{2026, 5, 1, 10, 22, 7};
    e.file = "C:\\vellox\\HotFolder\\x.vjx";
    e.movedTo = moved;
    e.outcome = c.outcome;
    e.reason = c.reason;
    ASSERT_TRUE(appendJournal(e));
  }
  addJob(0, folder.join("good.vjx").c_str(), Waiting);  // the print list keeps its own states
  for (int list : {0, 1}) {
    refreshJobView(&state_, ViewFill::Rebuild, list);
    refreshStatusColumn(&state_, list);
  }
  for (int n = 0; n < 4; ++n) EXPECT_EQ(cases[n].shown, views_[1].rows[n].texts[kColumnState]) << cases[n].file;
  EXPECT_EQ("印刷待ち", views_[0].rows[0].texts[kColumnState]);
  useJournalFile(nullptr);
}

TEST_F(JobListViewTest, FileNamePartLeavesDoubleByteFoldersWhole) {
  EXPECT_STREQ("VLX000A.vjx", jobFileName(*addJob(0, "C:\\x\\HotFolder\\VLX000A.vjx")));
  EXPECT_STREQ("ジョブ.vjx", jobFileName(*addJob(0, "C:\\表\\ソフト\\ジョブ.vjx")));  // 表, ソ end in 0x5C
  EXPECT_STREQ("ソ.drx", jobFileName(*addJob(0, "C:\\x\\ソ.drx")));
  EXPECT_STREQ("plain", jobFileName(*addJob(0, "plain")));
}

TEST_F(JobListViewTest, DateOfHostileValuesIsNeverCutShort) {
  JobRecord* r = addJob(0, "a");
  r->year = -2147483647 - 1, r->month = 2147483647, r->day = -1, r->hour = 0, r->minute = 100;
  char date[64];
  formatJobDate(*r, date, sizeof date);
  EXPECT_STREQ("-2147483648/2147483647/-1 00:100", date);
  char small[8];
  formatJobDate(*r, small, sizeof small);
  EXPECT_STREQ("-214748", small);
}

TEST_F(JobListViewTest, RebuildReselectsTheMovedJob) {
  addJob(0, "a");
  addJob(0, "b");
  JobRecord* c = addJob(0, "c");
  refreshJobView(&state_, ViewFill::Rebuild, 0);
  views_[0].setSelectedFocused(2);
  ASSERT_FALSE(mirrorRowChange(&state_, 0, {2, true, true, false}));
  EXPECT_EQ(1, c->selected);

  // One place up, as the move operation does it, then the rebuild.
  JobRecord* b = jobAt(heads_[0], 1);
  unlink(c);
  insertBefore(c, b);
  refreshJobView(&state_, ViewFill::Rebuild, 0);

  EXPECT_EQ(1, firstSelectedRow(&views_[0]));
  EXPECT_EQ("c", views_[0].rows[1].texts[kColumnFileName]);
  EXPECT_TRUE(views_[0].rows[1].focused);
  EXPECT_EQ(-1, views_[0].nextSelected(1));
}

TEST_F(JobListViewTest, AppendAddsOnlyTheNewRecords) {
  addJob(0, "a");
  addJob(0, "b");
  refreshJobView(&state_, ViewFill::Rebuild, 0);
  views_[0].setSelectedFocused(0);
  views_[0].rows[1].texts[kColumnMachine] = "as shown";
  views_[0].inserts = 0;

  refreshJobView(&state_, ViewFill::Append, 0);  // print and cancel: nothing new
  EXPECT_EQ(0, views_[0].inserts);

  addJob(0, "c");
  addJob(0, "d");
  refreshJobView(&state_, ViewFill::Append, 0);
  EXPECT_EQ(2, views_[0].inserts);
  ASSERT_EQ(4, views_[0].rowCount());
  EXPECT_EQ("c", views_[0].rows[2].texts[kColumnFileName]);
  EXPECT_EQ("d", views_[0].rows[3].texts[kColumnFileName]);
  EXPECT_TRUE(views_[0].rows[0].selected);
  EXPECT_EQ("as shown", views_[0].rows[1].texts[kColumnMachine]);
}

TEST_F(JobListViewTest, RowChangesReachTheRecordAtThatRow) {
  JobRecord* a = addJob(1, "a");
  JobRecord* b = addJob(1, "b");
  EXPECT_TRUE(mirrorRowChange(&state_, 1, {1, true, true, true}));
  EXPECT_EQ(1, b->selected);
  EXPECT_EQ(0, a->selected);
  EXPECT_TRUE(mirrorRowChange(&state_, 1, {1, false, false, true}));  // focus only: selection kept
  EXPECT_EQ(1, b->selected);
  EXPECT_FALSE(mirrorRowChange(&state_, 1, {1, true, false, false}));
  EXPECT_EQ(0, b->selected);
  EXPECT_FALSE(mirrorRowChange(&state_, 1, {7, true, true, false}));  // no record there
  EXPECT_FALSE(mirrorRowChange(&state_, 1, {-1, true, true, false}));
  EXPECT_EQ(0, a->selected);
}

TEST_F(JobListViewTest, MissingViewOrListIsLeftAlone) {
  addJob(0, "a");
  state_.viewPorts[0] = nullptr;
  refreshJobView(&state_, ViewFill::Rebuild, 0);
  refreshStatusColumn(&state_, 0);
  refreshJobView(&state_, ViewFill::Rebuild, 2);
  refreshJobView(nullptr, ViewFill::Rebuild, 0);
  state_.lists[1] = nullptr;
  refreshJobView(&state_, ViewFill::Rebuild, 1);
  EXPECT_TRUE(views_[0].rows.empty() && views_[1].rows.empty());
  EXPECT_EQ(-1, firstSelectedRow(nullptr));
}

}  // namespace
}  // namespace vlx
