// vellox's cancel through the real layers: the queue's print worker and its
// progress hooks, the drawing library's printing-device layer and the RX3
// plug-in on a file port. The window thread's cancel arrives while the
// first band is on its way; the print must stop as interrupted, with the
// printer told to drop the page, and the job's file must leave the queue.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app/jobs/folder_scan.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/job_record.h"
#include "app/shell/app_defaults.h"
#include "app/shell/print_worker.h"
#include "app/shell/progress_hooks.h"
#include "app/shell/variant.h"
#include "libs/escdecode/escp_decoder.h"
#include "platform/folders.h"
#include "printing_fixture.h"

namespace vlx {
namespace {

// The window's side: shows progress on the worker's behalf and, at the first
// band, lets the test's thread cancel before the print goes on.
class CancellingWindow final : public PrintWorkerHost, public ProgressDisplay {
 public:
  void requestStatusColumn() override {}
  void showWarning(const char* text) override { note(text); }
  void notify(const char* text) override { note(text); }
  void postCompletion() override { note("done"); }
  void setProgress(int position) override {
    if (position <= 0) return;
    std::unique_lock<std::mutex> lock(mutex_);
    if (cancelled_) return;
    banded_ = true;
    signal_.notify_all();
    signal_.wait_for(lock, std::chrono::seconds(10), [&] { return cancelled_; });
  }
  void setActivityText(const char*) override {}
  void pumpOwnQueue() override {}

  // The test's thread: waits for the first band, cancels as the window's
  // cancel command does, and lets the print go on.
  bool cancelAtFirstBand() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!signal_.wait_for(lock, std::chrono::seconds(20), [&] { return banded_; })) return false;
    {
      JobListLock jobs;
      if (workerRecord()) workerRecord()->state = Idle;
    }
    stopPrintWorker();
    cancelled_ = true;
    signal_.notify_all();
    return true;
  }
  std::vector<std::string> waitForCompletion() {
    std::unique_lock<std::mutex> lock(mutex_);
    signal_.wait_for(lock, std::chrono::seconds(20), [&] { return !events_.empty() && events_.back() == "done"; });
    return events_;
  }

 private:
  void note(const std::string& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(event);
    signal_.notify_all();
  }
  std::mutex mutex_;
  std::condition_variable signal_;
  std::vector<std::string> events_;
  bool banded_ = false;
  bool cancelled_ = false;
};

struct QueueCancel : draw_test::PrintingFixture {};

TEST_F(QueueCancel, ACancelMidPageStopsThePrintThroughEveryLayer) {
  initJobListLock();
  AppState state{};
  setDefaults(&state, variantRecord(kQuaddle));
  state.lists[kPrintList] = createJob();
  state.lists[kPrintedList] = createJob();
  state.document = document;
  testing_support::ScratchFolder moved;
  platform::copyString(state.printerFolder, sizeof state.printerFolder, printer.path().c_str());
  platform::copyString(state.printedFolder, sizeof state.printedFolder, moved.path().c_str());
  CancellingWindow window;
  useProgressDisplay(&window);
  jPdevSetPgsHook(progressHooks());

  const std::string path = jobs.join("cancelled.vjx");
  ASSERT_TRUE(jobfile::writeJobFile(path.c_str(), draw_test::sampleJob("EPSON RX-3", 30, 25)));  // two bands
  ASSERT_EQ(addJobFromFile(&state, state.lists[kPrintList], path.c_str()), 1);
  nextOf(state.lists[kPrintList])->state = Waiting;
  ASSERT_EQ(startNextJob(&state, &window), 1);
  EXPECT_TRUE(window.cancelAtFirstBand());
  const std::vector<std::string> events = window.waitForCompletion();
  finishPrintWorker(&state);
  EXPECT_TRUE(waitForPrintWorker(10000));

  EXPECT_EQ(events, (std::vector<std::string>{kPrintInterrupted, "done"}));
  std::vector<std::string> printed;
  platform::listFolder(out.path().c_str(), [&](const platform::FolderEntry& e) {
    printed.push_back(testing_support::readBytes(out.join(e.name)));
    return true;
  });
  ASSERT_EQ(printed.size(), 1u);
  escp::Stream stream;
  escp::decodeStream(reinterpret_cast<const uint8_t*>(printed[0].data()), printed[0].size(), &stream);
  int rows = 0, pageEnds = 0;
  bool aborted = false;
  for (const escp::Frame& f : stream.frames) {
    rows += f.kind == escp::FrameKind::kRasterRow;
    pageEnds += f.kind == escp::FrameKind::kFormFeed;
    aborted = aborted || (f.name == "AC" && f.params == std::vector<uint8_t>{0x00, 0x41});
  }
  EXPECT_GT(rows, 0) << "the first band went out";
  EXPECT_TRUE(aborted) << "the printer was told to drop the page";
  EXPECT_EQ(countJobs(state.lists[kPrintList]), 0);
  EXPECT_FALSE(platform::pathExists(path.c_str())) << "the job's file left the hot folder";

  jPdevSetPgsHook(nullptr);
  useProgressDisplay(nullptr);
  for (JobRecord* head : state.lists) destroyChain(head);
  deleteJobListLock();
}

}  // namespace
}  // namespace vlx
