// The ink warning before printing: which jobs of a request it looks at, the
// question of manual mode, and the status notice of auto-print mode.
#include "app/shell/ink_warning.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>

#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/jobs_view/fake_job_list_view.h"
#include "app/shell/app_defaults.h"
#include "app/shell/preview_ink_tip.h"
#include "app/shell/status_texts.h"
#include "platform/clock.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

constexpr uint64_t kMl = 1000000000;

// A job file's name says how its ink fits: "past" takes more magenta than
// remains, "warn" takes cyan below the warning share, others fit.
bool fakeEstimate(const char* path, const std::atomic<int>&, InkEstimate* out) {
  *out = InkEstimate{};
  const char* names[] = {"C", "M", "Y", "K", "Lc", "Lm", "Lk", "Lg"};
  for (int i = 0; i < kEstimateInks; ++i) {
    std::strcpy(out->account[i].name, names[i]);
    out->account[i].capacityMl = 220;
    out->account[i].correctionPercent = 100;
    out->account[i].warningPercent = 10;
  }
  const std::string name = path;
  out->picolitres[0] = name.find("warn") != std::string::npos ? 200 * kMl : kMl;
  out->picolitres[1] = name.find("past") != std::string::npos ? 300 * kMl : 0;
  return true;
}

class InkWarning : public ::testing::Test {
 protected:
  void SetUp() override {
    initJobListLock();
    setDefaults(&state_, variantRecord(kQuaddle));
    state_.lists[kPrintList] = createJob();
    state_.lists[kPrintedList] = createJob();
    state_.viewPorts[kPrintList] = &view_;
    startJobInk(fakeEstimate);
  }
  void TearDown() override {
    stopJobInk();
    for (JobRecord* head : state_.lists) destroyChain(head);
    deleteJobListLock();
  }
  // Adds jobs with files named as given, and waits for their estimates.
  void addJobs(std::initializer_list<std::pair<const char*, int32_t>> jobs) {
    for (const auto& [name, jobState] : jobs) {
      const std::string path = folder_.join(name);
      ASSERT_TRUE(testing_support::writeBytes(path, name));
      JobRecord* record = createJob();
      std::strcpy(record->path, path.c_str());
      record->state = jobState;
      ASSERT_TRUE(append(record, state_.lists[kPrintList]));
    }
    refreshJobView(&state_, ViewFill::Rebuild, kPrintList);
    wantPrintListInk(&state_);
    for (const auto& [name, jobState] : jobs) {
      InkEstimate e;
      for (int tries = 0; !jobInk(folder_.join(name).c_str(), &e); ++tries) {
        ASSERT_LT(tries, 5000);
        platform::sleepMilliseconds(2);
      }
    }
  }
  std::string question() {
    char text[512];
    inkQuestionForRequest(&state_, text, sizeof text);
    return text;
  }

  testing_support::ScratchFolder folder_;
  AppState state_;
  FakeJobListView view_;
};

TEST_F(InkWarning, AsksForTheSelectedJobsOrElseForAllThatWouldPrint) {
  addJobs({{"fits.vjx", Idle}, {"past.vjx", Idle}, {"warn.vjx", Printing}});
  EXPECT_NE(question().find("不足"), std::string::npos) << "nothing selected: every job that would print";
  view_.rows[0].selected = true;
  EXPECT_EQ(question(), "") << "the selected job fits";
  view_.rows[2].selected = true;
  EXPECT_EQ(question(), "") << "a printing job is not printed again";
  view_.rows[1].selected = true;
  EXPECT_EQ(question(), "このｼﾞｮﾌﾞを印刷するとｲﾝｸ残量が不足します。\r\n(M)\r\n\r\n印刷を続けますか？");
}

TEST_F(InkWarning, TheStatusBarShowsThePrintingJobsWarningAfterTheCounts) {
  addJobs({{"past.vjx", Idle}, {"warn.vjx", Printing}});
  char notice[160];
  inkNoticeForPrintingJob(&state_, notice, sizeof notice);
  EXPECT_STREQ(notice, "ｲﾝｸ残量警告: C");
  StatusFacts facts{false, 1, 2, 0, notice};
  char text[256];
  ASSERT_TRUE(statusPartText(kStatusCounts, nullptr, facts, text, sizeof text));
  EXPECT_STREQ(text, "印刷待ちｼﾞｮﾌﾞ数 : 2個     印刷済みｼﾞｮﾌﾞ数 : 0個     ｲﾝｸ残量警告: C");
}

TEST_F(InkWarning, ThePreviewTipGivesTheSelectedJobsEstimate) {
  addJobs({{"fits.vjx", Idle}, {"past.vjx", Idle}});
  char tip[600];
  previewInkTip(&state_, kPrintList, tip, sizeof tip);
  EXPECT_STREQ(tip, "") << "no job, no tip";
  view_.rows[1].selected = true;
  previewInkTip(&state_, kPrintList, tip, sizeof tip);
  InkEstimate estimate;
  ASSERT_TRUE(jobInk(folder_.join("past.vjx").c_str(), &estimate));
  char lines[512];
  formatInkEstimate(estimate, lines, sizeof lines);
  EXPECT_EQ(std::string(tip), std::string("ｲﾝｸ見積り\r\n") + lines);
  previewInkTip(&state_, kPrintList, tip, 12);
  EXPECT_EQ(std::strlen(tip), 11u) << "cut to the buffer";
}

// Closing vellox stops the estimates: a dry run that heeds the cancel is
// waited for, one held up inside is left to end on its own thread within
// the bound, so that the window never hangs.
std::atomic<bool> g_estimating{false};

TEST_F(InkWarning, StoppingTheEstimatesWaitsForARunningDryRunOnlyWithinABound) {
  stopJobInk();
  const std::string path = folder_.join("slow.vjx");
  ASSERT_TRUE(testing_support::writeBytes(path, "slow"));
  JobRecord* record = createJob();
  std::strcpy(record->path, path.c_str());
  ASSERT_TRUE(append(record, state_.lists[kPrintList]));
  for (const bool heedsCancel : {true, false}) {
    SCOPED_TRACE(heedsCancel ? "heeds the cancel" : "held up");
    g_estimating = false;
    startJobInk([heedsCancel](const char*, const std::atomic<int>& cancel, InkEstimate*) {
      g_estimating = true;
      for (int i = 0; i < 150 && !(heedsCancel && cancel.load()); ++i) platform::sleepMilliseconds(10);
      return false;
    });
    wantPrintListInk(&state_);
    for (int tries = 0; !g_estimating && tries < 2500; ++tries) platform::sleepMilliseconds(2);
    ASSERT_TRUE(g_estimating);
    const long long start = platform::monotonicMilliseconds();
    EXPECT_EQ(heedsCancel, stopJobInkWithin(300));
    EXPECT_LT(platform::monotonicMilliseconds() - start, 800);
  }
  startJobInk(fakeEstimate);
}

}  // namespace
}  // namespace vlx
