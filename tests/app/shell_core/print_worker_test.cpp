// The print worker over the fake drawing library and a host that records
// what the worker asks of the window: the order jobs print in, the three
// outcomes and their messages, the cancel through the progress hooks, and
// the finished job's file in the printed-job folder.
#include "app/shell/print_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "app/fake_draw.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/print_journal.h"
#include "app/jobs/unmoved_jobs.h"
#include "app/jobs_view/fake_job_list_view.h"
#include "app/shell/app_defaults.h"
#include "app/shell/print_requests.h"
#include "app/shell/progress_hooks.h"
#include "platform/folders.h"
#include "platform/path.h"
#include "platform/scratch_folder.h"
#include "recording_host.h"

namespace vlx {
namespace {

using testing_support::readBytes;
using testing_support::writeBytes;

class PrintWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    initJobListLock();
    setDefaults(&state_, variantRecord(kQuaddle));
    state_.lists[kPrintList] = createJob();
    state_.lists[kPrintedList] = createJob();
    state_.viewPorts[kPrintList] = &view_;
    state_.document = 1;
    printed_ = folder_.join("printed");
    platform::createFolder(printed_.c_str());
    platform::copyString(state_.printedFolder, sizeof state_.printedFolder, printed_.c_str());
    useProgressDisplay(&host_);
  }
  void TearDown() override {
    EXPECT_TRUE(waitForPrintWorker(10000));
    useProgressDisplay(nullptr);
    for (JobRecord* head : state_.lists) destroyChain(head);
    deleteJobListLock();
  }

  JobRecord* addJob(const std::string& name, int32_t jobState, const std::string& content = "JOB") {
    const std::string path = folder_.join(name);
    if (!content.empty()) {
      EXPECT_TRUE(writeBytes(path, content));
    }
    JobRecord* record = createJob();
    platform::copyString(record->path, sizeof record->path, path.c_str());
    record->state = jobState;
    append(record, state_.lists[kPrintList]);
    return record;
  }
  // One job from start to the handled completion; the worker's events.
  std::vector<std::string> printOne() {
    EXPECT_EQ(startNextJob(&state_, &host_), 1);
    std::vector<std::string> events = host_.waitForCompletion();
    finishPrintWorker(&state_);
    return events;
  }
  bool inPrinted(const std::string& content) {
    bool found = false;
    platform::listFolder(printed_.c_str(), [&](const platform::FolderEntry& e) {
      found = found || fake::fileText((printed_ + platform::kSeparator + e.name).c_str()) == content;
      return true;
    });
    return found;
  }

  fake::UseFakeDraw draw_{progressHooks()};
  testing_support::ScratchFolder folder_;
  std::string printed_;
  AppState state_{};
  FakeJobListView view_;
  RecordingHost host_;
};

TEST_F(PrintWorker, WaitingJobsPrintOneAfterTheOtherInListOrder) {
  addJob("idle", Idle);
  addJob("first", Waiting, "JOB first");
  addJob("second", Waiting, "JOB second");
  EXPECT_EQ(startNextJob(&state_, &host_), 1);
  EXPECT_EQ(startNextJob(&state_, &host_), 0) << "one worker at a time";
  const std::vector<std::string> events = host_.waitForCompletion();
  EXPECT_EQ(events.front(), "status") << "the job shows as printing first";
  EXPECT_TRUE(contains(events, "progress:50"));
  EXPECT_TRUE(contains(events, "text:idle")) << "end hook";
  EXPECT_FALSE(contains(events, "box:ﾌﾟﾘﾝﾄに失敗しました。"));
  EXPECT_EQ(startNextJob(&state_, &host_), 0) << "not before the completion is handled";
  finishPrintWorker(&state_);
  EXPECT_FALSE(printWorkerRunning());
  printOne();

  ASSERT_EQ(fake::library().prints.size(), 2u);
  EXPECT_EQ(fake::library().prints[0].path, folder_.join("first"));
  EXPECT_EQ(fake::library().prints[1].path, folder_.join("second"));
  EXPECT_FALSE(fake::library().prints[0].tiled);
  EXPECT_TRUE(inPrinted("JOB first") && inPrinted("JOB second"));
  EXPECT_EQ(countJobs(state_.lists[kPrintList]), 1);
  EXPECT_EQ(view_.rowCount(), 1) << "the print list rebuilt";
  EXPECT_EQ(workerRecord(), nullptr);
  EXPECT_EQ(startNextJob(&state_, &host_), 0) << "nothing waits";
}

// A dry run holds the machine's printing lock, which a print takes first:
// here one lock, taken by the estimator for each run and by the print as
// it begins. The estimate of the job that is about to print yields (the
// one under way stops), the print does not wait for it, the other job's
// estimate goes on, and the printed job, gone from the hot folder, is not
// estimated again.
TEST_F(PrintWorker, TheEstimateOfTheJobAboutToPrintYieldsToItsPrint) {
  const std::string jobPath = addJob("job", Waiting, "JOB job")->path;
  const std::string otherPath = addJob("other", Idle, "JOB other")->path;
  std::mutex printingLock, logLock;
  std::vector<std::string> log;
  std::atomic<bool> running{false};
  auto note = [&](const std::string& what) {
    std::lock_guard<std::mutex> hold(logLock);
    log.push_back(what);
  };
  startJobInk([&](const char* path, const std::atomic<int>& cancel, InkEstimate*) {
    std::lock_guard<std::mutex> hold(printingLock);
    const std::string name = platform::fileNamePart(path);
    note("estimate " + name);
    running = true;
    // A run that nobody stops ends by itself, late: the print would have
    // waited for all of it.
    for (int i = 0; i < 2000 && name == "job" && !cancel; ++i) platform::sleepMilliseconds(5);
    running = false;
    note(cancel ? "stopped " + name : "estimated " + name);
    return !cancel;
  });
  InkEstimate unused;
  EXPECT_FALSE(jobInk(jobPath.c_str(), &unused));
  for (int i = 0; i < 2000 && !running; ++i) platform::sleepMilliseconds(5);
  ASSERT_TRUE(running) << "the job's estimate is under way as it starts to print";
  fake::library().script = [&](const jProgressHooks&) {
    std::lock_guard<std::mutex> hold(printingLock);
    note("print");
    return 1;
  };
  printOne();
  bool otherEstimated = jobInk(otherPath.c_str(), &unused);
  for (int i = 0; i < 2000 && !otherEstimated; ++i, platform::sleepMilliseconds(5))
    otherEstimated = jobInk(otherPath.c_str(), &unused);
  EXPECT_TRUE(otherEstimated);
  EXPECT_TRUE(stopJobInkWithin(20000));
  const std::vector<std::string> expected{"estimate job", "stopped job", "print", "estimate other", "estimated other"};
  EXPECT_EQ(log, expected);
}

TEST_F(PrintWorker, OutcomesGiveTheirMessagesAndEveryJobEndsInThePrintedFolder) {
  const struct {
    const char* name;
    const char* content;  // empty: the file has vanished
    int printResult;
    const char* box;  // null: none
  } cases[] = {
      {"success", "JOB", 5, nullptr},
      {"library failure", "JOB", -1, "box:ﾌﾟﾘﾝﾄに失敗しました。"},
      {"not a job any more", "garbage", 1, "box:ﾌﾟﾘﾝﾄに失敗しました。"},
      {"vanished file", "", 1, "box:ﾌﾟﾘﾝﾄに失敗しました。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake::library().script = [&](const jProgressHooks&) { return c.printResult; };
    addJob(c.name, Waiting, c.content);
    const std::vector<std::string> events = printOne();
    int boxes = 0;
    for (const std::string& e : events) boxes += e.rfind("box:", 0) == 0;
    EXPECT_EQ(boxes, c.box ? 1 : 0);
    if (c.box) {
      EXPECT_TRUE(contains(events, c.box));
    }
    EXPECT_EQ(countJobs(state_.lists[kPrintList]), 0) << "the job leaves the print list";
    if (*c.content) {
      EXPECT_TRUE(inPrinted(c.content));
    }
    EXPECT_FALSE(platform::pathExists(folder_.join(c.name).c_str()));
  }
}

TEST_F(PrintWorker, ACancelMidPageStopsThePrintAsInterrupted) {
  std::vector<int> answers;
  fake::library().script = [&](const jProgressHooks& hooks) {
    void* progress = hooks.begin(nullptr);
    answers.push_back(hooks.step(progress, 10, "1/3"));
    // The window thread cancels the printing job here.
    {
      JobListLock lock;
      workerRecord()->state = Idle;
    }
    stopPrintWorker();
    answers.push_back(hooks.query(progress));
    answers.push_back(hooks.yield(progress));
    answers.push_back(hooks.step(progress, 20, nullptr));
    hooks.end(progress);
    return 0;
  };
  addJob("job", Waiting, "JOB cancelled");
  const std::vector<std::string> events = printOne();
  EXPECT_EQ(answers, (std::vector<int>{1, 0, 0, 0}));
  EXPECT_TRUE(contains(events, "box:ﾌﾟﾘﾝﾄが中断されました。"));
  EXPECT_TRUE(contains(events, "text:1/3"));
  EXPECT_TRUE(inPrinted("JOB cancelled"));
  EXPECT_EQ(countJobs(state_.lists[kPrintList]), 0);
}

TEST_F(PrintWorker, ACancelBeforeThePrintBeginsIsNotLost) {
  // Cancelled after the worker's last look at the state: the print begins
  // stopped and ends at its first hook call.
  fake::library().script = [&](const jProgressHooks& hooks) {
    stopPrintWorker();
    void* progress = hooks.begin(nullptr);
    const int running = hooks.query(progress);
    hooks.end(progress);
    return running ? 1 : 0;
  };
  addJob("job", Waiting);
  EXPECT_TRUE(contains(printOne(), "box:ﾌﾟﾘﾝﾄが中断されました。"));
  fake::library().script = nullptr;
  addJob("next", Waiting);
  EXPECT_FALSE(contains(printOne(), "box:ﾌﾟﾘﾝﾄが中断されました。")) << "the next job starts afresh";
}

TEST_F(PrintWorker, ATiledJobPrintsThroughTheTilingCallWithoutAWindow) {
  state_.mainWindow = reinterpret_cast<jHWND>(0x1234);
  JobRecord* job = addJob("tiled", Waiting);
  job->tileBlock = jMemAlloc(J_TILE_BLOCK_SIZE);
  printOne();
  ASSERT_EQ(fake::library().prints.size(), 1u);
  EXPECT_TRUE(fake::library().prints[0].tiled);
  EXPECT_EQ(fake::library().prints[0].window, nullptr);
}

TEST_F(PrintWorker, AutoPrintSaysAFailureWithoutWaitingAndManualModeAsks) {
  fake::library().script = [](const jProgressHooks&) { return -1; };
  fake::library().lastError = "ﾎﾟｰﾄがﾀｲﾑｱｳﾄしました";
  for (int autoPrint : {1, 0}) {
    SCOPED_TRACE(autoPrint);
    state_.autoPrint = autoPrint;
    addJob("bad", Waiting);
    const std::vector<std::string> events = printOne();
    EXPECT_EQ(contains(events, "notice:ﾌﾟﾘﾝﾄに失敗しました。\r\nﾎﾟｰﾄがﾀｲﾑｱｳﾄしました"), autoPrint == 1);
    EXPECT_EQ(contains(events, "box:ﾌﾟﾘﾝﾄに失敗しました。"), autoPrint == 0);
  }
}

TEST_F(PrintWorker, EveryAttemptLeavesOneJournalLineWithItsOutcomeReasonAndInk) {
  const std::string journal = folder_.join("journal.csv");
  useJournalFile(journal.c_str());
  for (InkEntry& ink : fake::library().account) std::strcpy(ink.name, "Lc");
  fake::library().inkPerPrint = 1234567;  // picolitres, to every ink
  const struct {
    const char* name;
    int printResult;
    const char* lastError;
    JournalOutcome outcome;
    const char* reason;
  } cases[] = {
      {"good", 1, "", JournalOutcome::Printed, ""},
      {"port", -1, "ﾃﾞｨｽｸがいっぱいです", JournalOutcome::Failed, "ﾃﾞｨｽｸがいっぱいです"},
      {"silent", -1, "", JournalOutcome::Failed, "ﾌﾟﾘﾝﾄに失敗しました。"},
      {"stop", 0, "", JournalOutcome::Cancelled, "ﾌﾟﾘﾝﾄが中断されました。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake::library().script = [&](const jProgressHooks&) { return c.printResult; };
    fake::library().lastError = c.lastError;
    addJob(c.name, Waiting);
    printOne();
    const std::vector<JournalEntry> lines = journalEntriesFor(folder_.join(c.name).c_str());
    ASSERT_EQ(lines.size(), 1u);
    const JournalEntry& e = lines[0];
    EXPECT_EQ(e.outcome, c.outcome);
    EXPECT_EQ(e.reason, c.reason);
    EXPECT_EQ(e.title, "ﾃｽﾄｼﾞｮﾌﾞ");
    EXPECT_EQ(e.machine, "");  // the records of this test name no machine
    EXPECT_NEAR(e.areaSquareMetres, 0.5, 1e-9);
    ASSERT_EQ(e.inks, 8);
    EXPECT_EQ(e.inkNames[7], "Lc");
    EXPECT_EQ(e.inkPicolitres[0], 1234567) << "the account's change, to the picolitre";
    JournalEntry last;
    ASSERT_TRUE(lastAttemptAt(e.movedTo.c_str(), &last)) << "the printed list finds it by its new name";
    EXPECT_EQ(last.outcome, c.outcome);
  }
  useJournalFile(nullptr);
}

TEST_F(PrintWorker, AJobThatPrintedAndCouldNotMoveIsNeverAutoPrintedAgain) {
  const std::string memory = folder_.join("unmoved.txt");
  useUnmovedJobsFile(memory.c_str());
  // The printed-job folder is a file: no move can succeed.
  const std::string blocked = folder_.join("blocked");
  ASSERT_TRUE(writeBytes(blocked, "x"));
  platform::copyString(state_.printedFolder, sizeof state_.printedFolder, blocked.c_str());
  state_.autoPrint = 1;
  JobRecord* job = addJob("stays", Waiting);
  job->fileSize = 3;
  job->day = 9;
  const std::vector<std::string> events = printOne();
  EXPECT_TRUE(contains(events, std::string("notice:") + kNotMoved)) << "said once, without waiting";
  EXPECT_TRUE(platform::pathExists(folder_.join("stays").c_str()));

  useUnmovedJobsFile(memory.c_str());  // as after a restart
  JobRecord* again = addJob("stays", Idle);
  again->fileSize = 3;
  again->day = 9;
  addJob("other", Idle);
  requestAutoPrint(&state_);
  EXPECT_EQ(again->state, Idle) << "auto-print leaves it to the operator";
  EXPECT_EQ(nextOf(again)->state, Waiting);
  again->fileSize = 4;  // a new job under the same name is a job like any other
  requestAutoPrint(&state_);
  EXPECT_EQ(again->state, Waiting);
  useUnmovedJobsFile(nullptr);
}

TEST_F(PrintWorker, TheOutcomeIsJournalledAndTheFileMovedBeforeAnyBoxWaitsForAClick) {
  const std::string journal = folder_.join("journal.csv");
  useJournalFile(journal.c_str());
  state_.autoPrint = 0;  // a cancel turns auto-print off: the boxes wait
  for (const int result : {0, -1}) {
    SCOPED_TRACE(result);
    const std::string name = "job" + std::to_string(result);
    fake::library().script = [&](const jProgressHooks&) { return result; };
    bool recordedFirst = false;
    host_.atBox = [&] {
      const std::vector<JournalEntry> lines = journalEntriesFor(folder_.join(name).c_str());
      recordedFirst = lines.size() == 1 && !platform::pathExists(folder_.join(name).c_str()) &&
                      platform::pathExists(lines[0].movedTo.c_str());
    };
    addJob(name, Waiting);
    const std::vector<std::string> events = printOne();
    const std::string box = result == 0 ? "box:ﾌﾟﾘﾝﾄが中断されました。" : "box:ﾌﾟﾘﾝﾄに失敗しました。";
    const auto views = std::find(events.begin(), events.end(), "views");
    EXPECT_LT(views, std::find(events.begin(), events.end(), box)) << "the lists are shown as they are first";
    EXPECT_TRUE(contains(events, box));
    EXPECT_TRUE(recordedFirst);
  }
  host_.atBox = nullptr;
  useJournalFile(nullptr);
}

TEST_F(PrintWorker, AJobACrashCaughtIsJournalledAtTheNextStartAndHeldUntilTheOperatorPrintsIt) {
  const std::string journal = folder_.join("journal.csv");
  const std::string memory = folder_.join("unmoved.txt");
  const std::string atCrash = folder_.join("unmoved-at-crash.txt");
  useJournalFile(journal.c_str());
  // The memory's line of the job when the program was killed: being
  // printed, about to write its journal line, or past it (to move).
  enum class KilledAt { Printing, BeforeItsLine, AfterItsLine };
  const struct {
    const char* name;
    KilledAt at;
    const char* reason;
    JournalOutcome outcome;
  } cases[] = {
      {"cut", KilledAt::Printing, "出力を確認してください", JournalOutcome::Failed},
      {"unwritten", KilledAt::BeforeItsLine, "出力を確認してください", JournalOutcome::Failed},
      {"unmoved", KilledAt::AfterItsLine, "移る前にﾌﾟﾛｸﾞﾗﾑが止まりました", JournalOutcome::Printed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    useUnmovedJobsFile(memory.c_str());
    fake::library().script = [&](const jProgressHooks&) {
      std::filesystem::copy_file(memory, atCrash);
      return 1;
    };
    JobRecord* job = addJob(c.name, Waiting);
    job->fileSize = 3;
    job->day = 9;
    printOne();
    fake::library().script = nullptr;
    ASSERT_TRUE(writeBytes(folder_.join(c.name), "JOB"));  // the file where the crash left it
    if (c.at != KilledAt::Printing) {
      // "P\t<size>\t<time>\t<path>" as "J\t<size>\t<time>\t<its line's move>\t<path>".
      std::string line = readBytes(atCrash).substr(2);
      const std::string target = c.at == KilledAt::AfterItsLine
                                     ? journalEntriesFor(folder_.join(c.name).c_str()).back().movedTo
                                     : folder_.join("never-written.vjx");
      line.insert(line.find('\t', line.find('\t') + 1) + 1, target + "\t");
      ASSERT_TRUE(writeBytes(atCrash, "J\t" + line));
    }

    std::filesystem::rename(atCrash, memory);
    useUnmovedJobsFile(memory.c_str());  // the restart
    EXPECT_EQ(journalCutPrints(), 1);
    const std::vector<JournalEntry> lines = journalEntriesFor(folder_.join(c.name).c_str());
    ASSERT_EQ(lines.size(), 2u) << "the test's own print, then the restart's line";
    EXPECT_EQ(lines[1].outcome, c.outcome);
    EXPECT_NE(lines[1].reason.find(c.reason), std::string::npos) << lines[1].reason;
    EXPECT_EQ(lines[1].movedTo, "");
    EXPECT_EQ(journalCutPrints(), 0) << "said once";
    useUnmovedJobsFile(memory.c_str());
    EXPECT_EQ(journalCutPrints(), 0) << "and not again at the start after";

    state_.autoPrint = 1;
    JobRecord* again = addJob(c.name, Idle, "JOB");
    again->fileSize = 3;
    again->day = 9;
    requestAutoPrint(&state_);
    EXPECT_EQ(again->state, Idle) << "held: auto-print does not print it again by itself";
    requestPrint(&state_, RequestScope::All);
    EXPECT_EQ(again->state, Waiting) << "the operator's print command releases it";
    printOne();
    EXPECT_EQ(journalEntriesFor(folder_.join(c.name).c_str()).size(), 3u);
    state_.autoPrint = 0;
  }
  useUnmovedJobsFile(nullptr);
  useJournalFile(nullptr);
}

TEST(ProgressHooks, NullContextsAnswerStop) {
  const jProgressHooks* hooks = progressHooks();
  EXPECT_EQ(hooks->query(nullptr), 0);
  EXPECT_EQ(hooks->step(nullptr, 50, "x"), 0);
  hooks->end(nullptr);
  armProgress();
  void* progress = hooks->begin(nullptr);
  EXPECT_NE(progress, nullptr);
  EXPECT_EQ(progressRunning(), 1);
  hooks->end(progress);
  EXPECT_EQ(progressRunning(), 0);
}

// The library asks between pages and while a port is slow, after the page's
// progress ended: only a stop request may end the print there.
TEST(ProgressHooks, YieldStopsOnlyForAStopRequest) {
  const jProgressHooks* hooks = progressHooks();
  armProgress();
  void* progress = hooks->begin(nullptr);
  hooks->end(progress);
  EXPECT_EQ(hooks->yield(nullptr), 1);
  EXPECT_EQ(hooks->yield(progress), 1);
  stopProgress();
  EXPECT_EQ(hooks->yield(nullptr), 0);
  EXPECT_EQ(hooks->yield(progress), 0);
  armProgress();
}

}  // namespace
}  // namespace vlx
