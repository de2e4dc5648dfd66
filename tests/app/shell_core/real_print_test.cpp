// The print worker over the real layers: the drawing library, the RX3
// plug-in from a printer folder of its own and the byte channel to file
// ports and loopback printers. Auto-print runs a queue whose jobs go to a
// good port and to ports that fail as a shop's do (a folder that cannot be
// made, a printer that takes nothing, a dropped connection, a full disk);
// every job is printed or failed exactly once, filed in the printed-job
// folder, and journalled with what it printed with, the port's own words
// and the ink the account shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "Base.h"
#include "Draw.h"
#include "SPOOL.h"
#include "app/jobs/folder_scan.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/print_journal.h"
#include "app/jobs/unmoved_jobs.h"
#include "app/jobs_view/fake_job_list_view.h"
#include "app/shell/app_defaults.h"
#include "app/shell/drawing_link.h"
#include "app/shell/print_requests.h"
#include "app/shell/print_worker.h"
#include "app/shell/progress_hooks.h"
#include "fault_printer.h"
#include "libs/draw/job_maker.h"
#include "libs/draw/printing_fixture.h"
#include "libs/draw/tile_block.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"
#include "recording_host.h"
#include "support/file_size_limit.h"

namespace vlx {
namespace {

using testing_support::writeBytes;

constexpr char kMachine[] = "EPSON RX-3";

int filesIn(const std::string& folder) {
  int count = 0;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) { return count += !e.isDirectory, true; });
  return count;
}

int64_t inkUsed() {
  InkEntry inks[8] = {};
  const int count = jPdevGetInk(kMachine, inks, 8);
  int64_t total = 0;
  for (int i = 0; i < count; ++i) total += inks[i].totalUsed;
  return total;
}

class RealPrint : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { draw_test::fixNoiseSeed(); }
  void SetUp() override {
    ASSERT_TRUE(printer_.ready());
    initJobListLock();
    forgetSeenFiles();
    setDefaults(&state_, variantRecord(kQuaddle));
    state_.lists[kPrintList] = createJob();
    state_.lists[kPrintedList] = createJob();
    state_.viewPorts[kPrintList] = &view_;
    hot_ = root_.join("HotFolder");
    printed_ = root_.join("MoveFolder");
    out_ = root_.join("out");
    for (const std::string& f : {hot_, printed_, out_}) platform::createFolder(f.c_str());
    platform::copyString(state_.hotFolder, sizeof state_.hotFolder, hot_.c_str());
    platform::copyString(state_.printedFolder, sizeof state_.printedFolder, printed_.c_str());
    platform::copyString(state_.printerFolder, sizeof state_.printerFolder, printer_.path().c_str());
    jOemSetText("");
    ASSERT_EQ(jPdevSetPrinterFolder(printer_.path().c_str()), 1);
    state_.document = openDrawingLibrary(nullptr, DrawingLinkSetup{"", "", false});
    ASSERT_NE(state_.document, 0);
    useProgressDisplay(&host_);
    useJournalFile(root_.join("PrintJournal.csv").c_str());
    useUnmovedJobsFile(root_.join("unmoved.txt").c_str());
    state_.autoPrint = 1;
  }
  void TearDown() override {
    EXPECT_TRUE(waitForPrintWorker(60000));
    useJournalFile(nullptr);
    useUnmovedJobsFile(nullptr);
    useProgressDisplay(nullptr);
    for (JobRecord* head : state_.lists) destroyChain(head);
    closeDrawingDocument(&state_.document);
    closeDrawingLibrary();
    jPdevSetPrinterFolder(nullptr);
    jOemSetText(nullptr);
    forgetSeenFiles();
    deleteJobListLock();
  }

  void useRegistry(const std::string& lines) {
    const std::string path = printer_.join("DEVICE.rgs");
    ASSERT_TRUE(testing_support::writeBytes(path, lines));
    jSplSaveDevicePort(path.c_str());
  }

  // A job for the device named, in columns tiles side by side, listed as
  // the hot folder's scan lists it.
  void addJob(const std::string& name, const std::string& device, int columns, float widthMm) {
    const std::string path = hot_ + platform::kSeparator + name;
    jobfile::Job job = draw_test::sampleJob(kMachine, widthMm, 10, device);
    if (columns > 1) {
      job.hasTiling = true;
      job.tiling = jdraw::encodeTileBlock(jdraw::TileGrid{columns, 1, 0});
    }
    ASSERT_TRUE(jobfile::writeJobFile(path.c_str(), job));
    JobListLock lock;
    ASSERT_EQ(addJobFromFile(&state_, state_.lists[kPrintList], path.c_str()), 1);
  }

  draw_test::PluginFolder printer_;
  testing_support::ScratchFolder root_;
  std::string hot_, printed_, out_;
  AppState state_{};
  FakeJobListView view_;
  RecordingHost host_;
};

TEST_F(RealPrint, AutoPrintFilesEveryJobOnceAndAPortFailureDoesNotHoldTheQueue) {
  // A port folder below a file: it can be neither created nor written.
  const std::string blocker = root_.join("blocker");
  ASSERT_TRUE(testing_support::writeBytes(blocker, "x"));
  fault_bench::FaultPrinter stalled({0, 0});
  fault_bench::FaultPrinter dropping({0, 4096, true});
  useRegistry(draw_test::deviceLine("RX-3 file", kMachine, "FILE:" + out_) +
              draw_test::deviceLine("RX-3 broken", kMachine, "FILE:" + blocker + platform::kSeparator + "port") +
              draw_test::deviceLine("RX-3 stalled", kMachine, stalled.portText()) + "TIMEOUT\t" + stalled.portText() +
              "\t1\r\n" + draw_test::deviceLine("RX-3 dropping", kMachine, dropping.portText()) +
              draw_test::deviceLine("RX-3 full", kMachine, "FILE:" + out_));
  const struct {
    const char* name;
    const char* device;
    int columns;
    float widthMm;
    JournalOutcome outcome;
    const char* reason;  // the failing layer's own words, exactly
    bool fullDisk;       // printed while every file of the process is held to 20 KB
  } jobs[] = {
      {"broken.vjx", "RX-3 broken", 1, 20, JournalOutcome::Failed, "出力ﾌｧｲﾙを作れませんでした。", false},
      {"good.vjx", "RX-3 file", 1, 20, JournalOutcome::Printed, "", false},
      {"stalled.vjx", "RX-3 stalled", 1, 200, JournalOutcome::Failed, "ﾌﾟﾘﾝﾀがﾃﾞｰﾀを受け取りません（ﾎﾟｰﾄのﾀｲﾑｱｳﾄ）。",
       false},
      {"tiled.vjx", "RX-3 file", 2, 20, JournalOutcome::Printed, "", false},
      {"dropped.vjx", "RX-3 dropping", 1, 200, JournalOutcome::Failed, "ﾌﾟﾘﾝﾀとの接続が切れました。", false},
      {"full.vjx", "RX-3 full", 1, 20, JournalOutcome::Failed,
       "出力ﾌｧｲﾙに書き込めませんでした（ﾃﾞｨｽｸがいっぱいです）。", true},
  };
  int filed = 0;
  for (const auto& j : jobs) {
    if (j.fullDisk && !test_support::FileSizeLimit::available()) continue;  // no such limit under Windows
    addJob(j.name, j.device, j.columns, j.widthMm);
  }
  requestAutoPrint(&state_);
  for (const auto& j : jobs) {
    if (j.fullDisk && !test_support::FileSizeLimit::available()) continue;
    SCOPED_TRACE(j.name);
    const int outputs = filesIn(out_);
    const int64_t before = inkUsed();
    std::vector<std::string> events;
    {
      std::unique_ptr<test_support::FileSizeLimit> full;
      if (j.fullDisk) full = std::make_unique<test_support::FileSizeLimit>(20000);
      ASSERT_EQ(startNextJob(&state_, &host_), 1);
      events = host_.waitForCompletion();
    }
    finishPrintWorker(&state_);
    ++filed;
    const int64_t used = inkUsed() - before;

    for (const std::string& e : events) EXPECT_NE(e.rfind("box:", 0), 0u) << "auto-print waits on no box: " << e;
    const bool printed = j.outcome == JournalOutcome::Printed;
    EXPECT_EQ(filesIn(out_), outputs + (printed ? j.columns : 0))
        << "one stream per page of a good job, none for a failed one";
    EXPECT_FALSE(platform::pathExists((hot_ + platform::kSeparator + j.name).c_str()));

    const std::vector<JournalEntry> lines = journalEntriesFor((hot_ + platform::kSeparator + j.name).c_str());
    ASSERT_EQ(lines.size(), 1u) << "one attempt, one line";
    const JournalEntry& entry = lines[0];
    EXPECT_EQ(entry.outcome, j.outcome);
    EXPECT_EQ(entry.reason, j.reason);
    if (!printed) {
      EXPECT_TRUE(contains(events, std::string("notice:") + kPrintFailed + "\r\n" + j.reason)) << "said once, as is";
    }
    EXPECT_EQ(entry.machine, kMachine);
    EXPECT_EQ(entry.device, j.device);
    EXPECT_NE(entry.port, "");
    EXPECT_TRUE(platform::pathExists(entry.movedTo.c_str())) << "filed in the printed-job folder: " << entry.movedTo;
    EXPECT_EQ(entry.title, "sample title");
    EXPECT_EQ(entry.file, hot_ + platform::kSeparator + j.name);
    EXPECT_NEAR(entry.areaSquareMetres, j.widthMm * 10 / 1e6, 1e-6);
    EXPECT_LE(std::make_tuple(entry.started.year, entry.started.month, entry.started.day, entry.started.hour,
                              entry.started.minute, entry.started.second),
              std::make_tuple(entry.ended.year, entry.ended.month, entry.ended.day, entry.ended.hour,
                              entry.ended.minute, entry.ended.second));
    EXPECT_EQ(entry.resolution, "720x720 dpi");
    EXPECT_EQ(entry.inkSet, "ﾌｫﾄﾌﾞﾗｯｸ + ｸﾞﾚｰ");
    EXPECT_EQ(entry.pages, printed ? j.columns : 0) << "a tiled job's tiles are its pages";
    int64_t journalled = 0;
    for (int i = 0; i < entry.inks; ++i) journalled += entry.inkPicolitres[i];
    EXPECT_EQ(entry.inks, 8);
    EXPECT_EQ(journalled, used) << "the journal's ink is the account's change, to the picolitre";
    EXPECT_EQ(printed, used > 0);
  }
  EXPECT_EQ(startNextJob(&state_, &host_), 0) << "nothing printed twice";
  EXPECT_EQ(filesIn(printed_), filed);
  EXPECT_EQ(countJobs(state_.lists[kPrintList]), 0);
}

}  // namespace
}  // namespace vlx
