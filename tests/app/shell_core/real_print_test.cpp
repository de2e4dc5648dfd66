// The print worker over the real layers: the drawing library, the RX3
// plug-in from a printer folder of its own and the byte channel to file
// ports. Auto-print runs a queue whose jobs go to a good port and to a port
// that cannot be opened; every job is printed or failed exactly once, filed
// in the printed-job folder, and journalled with the layer's reason and the
// ink the account shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Base.h"
#include "Draw.h"
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
#include "libs/draw/job_maker.h"
#include "libs/draw/plugin_folder.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"
#include "recording_host.h"

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
  static void SetUpTestSuite() {
#if defined(_WIN32)
    _putenv_s("RX3_NOISE_SEED", "12345");
#else
    setenv("RX3_NOISE_SEED", "12345", 1);
#endif
  }
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
    // A port folder below a file: it can be neither created nor written.
    const std::string blocker = root_.join("blocker");
    ASSERT_TRUE(writeBytes(blocker, "x"));
    const std::string plugin = draw_test::pluginFileName();
    ASSERT_TRUE(writeBytes(printer_.join("DEVICE.rgs"), "DEVICE\tRX-3 file\t" + plugin + "\t" + kMachine +
                                                            "\tFILE:" + out_ + "\r\n" + "DEVICE\tRX-3 broken\t" +
                                                            plugin + "\t" + kMachine + "\tFILE:" + blocker +
                                                            platform::kSeparator + "port\r\n"));
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
    EXPECT_TRUE(waitForPrintWorker(10000));
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

  // A job for the device named, listed as the hot folder's scan lists it.
  void addJob(const std::string& name, const std::string& device) {
    const std::string path = hot_ + platform::kSeparator + name;
    ASSERT_TRUE(jobfile::writeJobFile(path.c_str(), draw_test::sampleJob(kMachine, 20, 10, device)));
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
  const struct {
    const char* name;
    const char* device;
    JournalOutcome outcome;
  } jobs[] = {
      {"broken.vjx", "RX-3 broken", JournalOutcome::Failed},
      {"good.vjx", "RX-3 file", JournalOutcome::Printed},
      {"again.vjx", "RX-3 file", JournalOutcome::Printed},
  };
  for (const auto& j : jobs) addJob(j.name, j.device);
  requestAutoPrint(&state_);
  for (const auto& j : jobs) {
    SCOPED_TRACE(j.name);
    const int outputs = filesIn(out_);
    const int64_t before = inkUsed();
    ASSERT_EQ(startNextJob(&state_, &host_), 1);
    const std::vector<std::string> events = host_.waitForCompletion();
    finishPrintWorker(&state_);
    const int64_t used = inkUsed() - before;

    for (const std::string& e : events) EXPECT_NE(e.rfind("box:", 0), 0u) << "auto-print waits on no box: " << e;
    const bool printed = j.outcome == JournalOutcome::Printed;
    EXPECT_EQ(filesIn(out_), outputs + (printed ? 1 : 0)) << "one stream per good job, none for a failed one";
    EXPECT_FALSE(platform::pathExists((hot_ + platform::kSeparator + j.name).c_str()));

    const std::vector<JournalEntry> lines = journalEntriesFor((hot_ + platform::kSeparator + j.name).c_str());
    ASSERT_EQ(lines.size(), 1u) << "one attempt, one line";
    const JournalEntry& entry = lines[0];
    EXPECT_EQ(entry.outcome, j.outcome);
    EXPECT_EQ(entry.machine, kMachine);
    EXPECT_EQ(entry.device, j.device);
    EXPECT_TRUE(platform::pathExists(entry.movedTo.c_str())) << "filed in the printed-job folder: " << entry.movedTo;
    int64_t journalled = 0;
    for (int i = 0; i < entry.inks; ++i) journalled += entry.inkPicolitres[i];
    EXPECT_EQ(journalled, used) << "the journal's ink is the account's change, to the picolitre";
    if (printed) {
      EXPECT_GT(used, 0);
      EXPECT_EQ(entry.reason, "");
    } else {
      EXPECT_NE(entry.reason, "") << "a failure says why";
      // The port's own words once the layers below carry them up; until
      // then the library's general failure, said once.
      const std::string said = entry.reason == kPrintFailed ? "" : "\r\n" + entry.reason;
      EXPECT_TRUE(contains(events, std::string("notice:") + kPrintFailed + said)) << entry.reason;
    }
  }
  EXPECT_EQ(startNextJob(&state_, &host_), 0) << "nothing printed twice";
  EXPECT_EQ(filesIn(printed_), 3);
  EXPECT_EQ(countJobs(state_.lists[kPrintList]), 0);
}

}  // namespace
}  // namespace vlx
