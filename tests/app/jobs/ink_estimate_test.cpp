// Ink estimates: the account's rules applied to a job's ink, the texts, the
// per-file cache of the background estimates, its order and its store.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "app/jobs/ink_estimate_store.h"
#include "app/jobs/ink_estimates.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_lock.h"
#include "job_lists_support.h"
#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"

namespace {

using vlx::InkLevel;

constexpr uint64_t kMl = 1000000000;

InkEntry account(const char* name, int64_t usedPl, int32_t capacityMl = 220, int32_t correction = 100,
                 int32_t warning = 10) {
  InkEntry e{};
  std::strcpy(e.name, name);
  e.totalUsed = usedPl;
  e.capacityMl = capacityMl;
  e.correctionPercent = correction;
  e.warningPercent = warning;
  return e;
}

TEST(InkOutlook, AppliesCorrectionCapacityAndWarning) {
  struct Case {
    const char* what;
    InkEntry ink;
    uint64_t job;
    int64_t jobPl, remainingPl;
    double share;
    InkLevel level;
  };
  const Case cases[] = {
      {"full cartridge", account("C", 0), 22 * kMl, 22 * kMl, 220 * kMl, 10.0, InkLevel::kEnough},
      {"correction scales job and use", account("C", 100 * kMl, 220, 200), 10 * kMl, 20 * kMl, 20 * kMl, 100.0,
       InkLevel::kBelowWarning},
      {"below the warning share", account("M", 190 * kMl), 10 * kMl, 10 * kMl, 30 * kMl, 100.0 / 3,
       InkLevel::kBelowWarning},
      {"past what remains", account("Y", 215 * kMl), 6 * kMl, 6 * kMl, 5 * kMl, 120.0, InkLevel::kPastRemaining},
      {"used beyond capacity", account("K", 300 * kMl), 1, 1, 0, 100.0, InkLevel::kPastRemaining},
      {"no ink taken", account("Lc", 219 * kMl), 0, 0, 1 * kMl, 0.0, InkLevel::kEnough},
      {"hostile values", account("Lg", -5, -3, 1 << 30, 500), 7 * kMl, 7000 * kMl, 0, 100.0, InkLevel::kPastRemaining},
  };
  for (const Case& c : cases) {
    const vlx::InkOutlook o = vlx::inkOutlook(c.ink, c.job);
    EXPECT_EQ(o.jobPicolitres, c.jobPl) << c.what;
    EXPECT_EQ(o.remainingPicolitres, c.remainingPl) << c.what;
    EXPECT_NEAR(o.sharePercent, c.share, 1e-9) << c.what;
    EXPECT_EQ(o.level, c.level) << c.what;
  }
}

vlx::InkEstimate estimateOf(uint64_t cyan, uint64_t magenta, int64_t magentaUsed = 0) {
  vlx::InkEstimate e{};
  const char* names[] = {"C", "M", "Y", "K", "Lc", "Lm", "Lk", "Lg"};
  for (int i = 0; i < 8; ++i) e.account[i] = account(names[i], i == 1 ? magentaUsed : 0);
  e.picolitres[0] = cyan;
  e.picolitres[1] = magenta;
  return e;
}

TEST(InkTexts, ListTheInksTheJobTakesAndWarnOnlyWhenNeeded) {
  char text[512];
  ASSERT_TRUE(vlx::formatInkEstimate(estimateOf(1234567890, 0), text, sizeof text));
  EXPECT_STREQ(text, "C       1.235 ml  残量の 0.6%");
  ASSERT_TRUE(vlx::formatInkEstimate(estimateOf(0, 0), text, sizeof text));
  EXPECT_STREQ(text, "ｲﾝｸを使用しません");
  ASSERT_TRUE(vlx::formatInkEstimate(estimateOf(kMl, 5 * kMl, 216 * kMl), text, sizeof text));
  EXPECT_STREQ(text, "C       1.000 ml  残量の 0.5%\r\nM       5.000 ml  残量不足");
  EXPECT_FALSE(vlx::formatInkEstimate(estimateOf(kMl, kMl), text, 20)) << "too small";

  vlx::inkWarningStatus(estimateOf(kMl, kMl), text, sizeof text);
  EXPECT_STREQ(text, "");
  vlx::inkWarningStatus(estimateOf(kMl, 5 * kMl, 216 * kMl), text, sizeof text);
  EXPECT_STREQ(text, "ｲﾝｸ残量不足: M");
  vlx::inkWarningQuestion(estimateOf(kMl, 1 * kMl, 200 * kMl), text, sizeof text);
  EXPECT_STREQ(text, "このｼﾞｮﾌﾞを印刷するとｲﾝｸ残量が警告値を下回ります。\r\n(M)\r\n\r\n印刷を続けますか？");
}

struct CountingEstimator {
  std::atomic<int> calls{0};
  vlx::EstimateJob fn() {
    return [this](const char* path, const std::atomic<int>&, vlx::InkEstimate* out) {
      ++calls;
      *out = estimateOf(std::strlen(path), 0);
      return std::string(path).find("bad") == std::string::npos;
    };
  }
};

TEST(InkEstimates, AnUnchangedFileIsEstimatedOnceAChangedOneAgain) {
  testing_support::ScratchFolder folder;
  const std::string job = folder.join("a.vjx");
  ASSERT_TRUE(testing_support::writeBytes(job, "one"));
  CountingEstimator counter;
  vlx::InkEstimates estimates(counter.fn());
  vlx::InkEstimate got{};
  EXPECT_FALSE(estimates.find(job.c_str(), &got));
  for (int scan = 0; scan < 5; ++scan) {
    estimates.want(job.c_str());
    ASSERT_TRUE(estimates.waitIdle(10000));
  }
  EXPECT_EQ(counter.calls, 1);
  ASSERT_TRUE(estimates.find(job.c_str(), &got));
  EXPECT_EQ(got.picolitres[0], job.size());

  ASSERT_TRUE(testing_support::writeBytes(job, "longer content"));
  EXPECT_FALSE(estimates.find(job.c_str(), &got)) << "the old estimate is not the new file's";
  estimates.want(job.c_str());
  ASSERT_TRUE(estimates.waitIdle(10000));
  EXPECT_EQ(counter.calls, 2);
  EXPECT_TRUE(estimates.find(job.c_str(), &got));

  const std::string bad = folder.join("bad.vjx");
  ASSERT_TRUE(testing_support::writeBytes(bad, "x"));
  estimates.want(bad.c_str());
  estimates.want(bad.c_str());
  ASSERT_TRUE(estimates.waitIdle(10000));
  EXPECT_FALSE(estimates.find(bad.c_str(), &got));
  EXPECT_EQ(counter.calls, 3) << "a failed file is not retried until it changes";
  estimates.want(folder.join("missing.vjx").c_str());
  ASSERT_TRUE(estimates.waitIdle(10000));
  EXPECT_EQ(counter.calls, 3);
}

// A dry run that waits until the test lets it go, so the queue can be read.
struct HeldEstimator {
  std::atomic<bool> release{false};
  std::atomic<int> calls{0};
  std::mutex mutex;
  std::vector<std::string> made;  // the paths, in the order they were made
  std::vector<std::string> paths() {
    std::lock_guard<std::mutex> hold(mutex);
    return made;
  }
  vlx::EstimateJob fn() {
    return [this](const char* path, const std::atomic<int>& cancel, vlx::InkEstimate* out) {
      {
        std::lock_guard<std::mutex> hold(mutex);
        made.push_back(path);
      }
      ++calls;
      while (!release && !cancel) platform::sleepMilliseconds(1);
      *out = estimateOf(std::strlen(path), 0);
      return true;
    };
  }
};

struct JobFiles {
  testing_support::ScratchFolder folder;
  std::string operator()(const std::string& name, const std::string& content = "JOB") {
    const std::string path = folder.join(name);
    EXPECT_TRUE(testing_support::writeBytes(path, content));
    return path;
  }
};

TEST(InkEstimates, TheQueueTakesTheOrderOfEachListAndKnownFilesStayOutOfIt) {
  JobFiles file;
  const std::string first = file("first"), a = file("a"), b = file("b"), c = file("c"), other = file("other");
  HeldEstimator held;
  vlx::InkEstimates estimates(held.fn());
  estimates.want(first.c_str());
  while (held.calls == 0) platform::sleepMilliseconds(1);
  estimates.wantInOrder({c, first, a, b});
  EXPECT_EQ(estimates.queued(), (std::vector<std::string>{c, a, b})) << "the running one is not queued again";
  estimates.want(other.c_str());  // asked for by itself (a printed job's properties)
  estimates.wantInOrder({b, a, c, b});
  EXPECT_EQ(estimates.queued(), (std::vector<std::string>{b, a, c, other}));
  held.release = true;
  ASSERT_TRUE(estimates.waitIdle(10000));
  estimates.wantInOrder({a, b, c, first});
  EXPECT_TRUE(estimates.queued().empty());
  ASSERT_TRUE(estimates.waitIdle(10000));
  EXPECT_EQ(held.calls, 5);
}

TEST(InkEstimates, ThePrintListIsEstimatedPrintingJobFirstThenTheWaitingOnesThenTheRest) {
  JobFiles file;
  vlx::TestLists lists;
  const struct {
    const char* name;
    int32_t state;
  } jobs[] = {{"i1", vlx::Idle}, {"w1", vlx::Waiting}, {"i2", vlx::Idle}, {"p", vlx::Printing}, {"w2", vlx::Waiting}};
  for (const auto& job : jobs) lists.add(file(job.name).c_str(), job.state);
  const std::string blocker = file("blocker");
  HeldEstimator held;
  vlx::initJobListLock();
  vlx::startJobInk(held.fn());
  vlx::InkEstimate unused;
  vlx::jobInk(blocker.c_str(), &unused);
  while (held.calls == 0) platform::sleepMilliseconds(1);
  vlx::wantPrintListInk(&lists.state);
  held.release = true;
  for (int i = 0; i < 10000 && held.calls < 6; ++i) platform::sleepMilliseconds(1);
  vlx::stopJobInk();
  vlx::deleteJobListLock();
  std::vector<std::string> expected{blocker};
  for (const char* name : {"p", "w1", "w2", "i1", "i2"}) expected.push_back(file.folder.join(name));
  EXPECT_EQ(held.paths(), expected);
}

TEST(InkEstimates, EstimatesOutliveARestartUntilTheirFileChanges) {
  JobFiles file;
  const std::string store = file.folder.join("InkEstimates.txt");
  const std::string a = file("a.vjx", "JOB a"), b = file("b.vjx", "JOB b");
  {
    CountingEstimator counter;
    vlx::InkEstimates estimates(counter.fn(), store);
    estimates.wantInOrder({a, b});
    ASSERT_TRUE(estimates.waitIdle(10000));
    EXPECT_EQ(counter.calls, 2);
  }
  ASSERT_TRUE(testing_support::writeBytes(b, "JOB b, written again"));
  CountingEstimator counter;
  vlx::InkEstimates estimates(counter.fn(), store);
  vlx::InkEstimate got{};
  ASSERT_TRUE(estimates.find(a.c_str(), &got)) << "kept across the restart";
  EXPECT_EQ(got.picolitres[0], a.size());
  EXPECT_STREQ(got.account[1].name, "M");
  const int64_t used = got.account[1].totalUsed;
  EXPECT_EQ(used, 0);
  EXPECT_FALSE(estimates.find(b.c_str(), &got)) << "not the changed file's";
  estimates.wantInOrder({b, a});
  ASSERT_TRUE(estimates.waitIdle(10000));
  EXPECT_EQ(counter.calls, 1) << "only the changed file is made again";
  EXPECT_TRUE(estimates.find(b.c_str(), &got));
}

TEST(InkEstimateStore, ReadsBackWhatItWroteAndSkipsWhatItCannotRead) {
  vlx::StoredEstimate e;
  e.path = "C:\\HotFolder\\表 ソ\tname.vjx";
  e.size = 123456789012ULL;
  e.written = {2026, 12, 9, 4, 59, 42};
  e.estimate = estimateOf(kMl, 3 * kMl, 216 * kMl);
  std::strcpy(e.estimate.account[7].name, "Lk, x");
  const std::string text = vlx::formatEstimates({e, e});
  const std::vector<vlx::StoredEstimate> back = vlx::parseEstimates(text);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].path, e.path);
  EXPECT_EQ(back[0].size, e.size);
  EXPECT_EQ(back[0].written.second, 42);
  EXPECT_EQ(std::memcmp(&back[0].estimate, &e.estimate, sizeof e.estimate), 0);
  const std::string broken[] = {"", "another file\r\n", text.substr(0, text.size() - 3),
                                text.substr(0, text.find('\n') + 1) + "12 x y\r\n"};
  const std::size_t whole[] = {0, 0, 1, 0};
  for (std::size_t i = 0; i < std::size(broken); ++i) EXPECT_EQ(vlx::parseEstimates(broken[i]).size(), whole[i]) << i;
}

TEST(InkEstimates, ClosingCancelsTheRunningEstimate) {
  testing_support::ScratchFolder folder;
  const std::string job = folder.join("slow.vjx");
  ASSERT_TRUE(testing_support::writeBytes(job, "x"));
  std::atomic<int> started{0}, sawCancel{0};
  {
    vlx::InkEstimates estimates([&](const char*, const std::atomic<int>& cancel, vlx::InkEstimate*) {
      started = 1;
      while (!cancel) platform::sleepMilliseconds(1);
      sawCancel = 1;
      return false;
    });
    estimates.want(job.c_str());
    while (!started) platform::sleepMilliseconds(1);
  }
  EXPECT_EQ(sawCancel, 1);
}

}  // namespace
