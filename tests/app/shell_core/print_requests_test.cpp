// Print and cancel requests over the print list and a fake view: which jobs
// change, what the result says, and when the worker must stop.
#include "app/shell/print_requests.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/jobs_view/fake_job_list_view.h"
#include "app/shell/app_defaults.h"

namespace vlx {
namespace {

class PrintRequests : public ::testing::Test {
 protected:
  void SetUp() override {
    initJobListLock();
    setDefaults(&state_, variantRecord(kQuaddle));
    state_.lists[kPrintList] = createJob();
    state_.lists[kPrintedList] = createJob();
    ASSERT_NE(state_.lists[kPrintList], nullptr);
    state_.viewPorts[kPrintList] = &view_;
  }
  void TearDown() override {
    setWorkerRecord(nullptr);
    for (JobRecord* head : state_.lists) destroyChain(head);
    deleteJobListLock();
  }

  void addJobs(std::initializer_list<int32_t> states) {
    for (int32_t s : states) {
      JobRecord* record = createJob();
      ASSERT_NE(record, nullptr);
      record->state = s;
      ASSERT_TRUE(append(record, state_.lists[kPrintList]));
    }
    refreshJobView(&state_, ViewFill::Rebuild, kPrintList);
  }
  std::vector<int32_t> states() {
    std::vector<int32_t> out;
    for (JobRecord* r = nextOf(state_.lists[kPrintList]); r; r = nextOf(r)) out.push_back(r->state);
    return out;
  }

  AppState state_;
  FakeJobListView view_;
};

TEST_F(PrintRequests, PrintOfTheSelectionLeavesOtherJobsAlone) {
  addJobs({Idle, Idle, Waiting, Printing});
  view_.rows[1].selected = view_.rows[2].selected = view_.rows[3].selected = true;
  const RequestResult result = requestPrint(&state_, RequestScope::Selected);
  EXPECT_TRUE(result.acted);
  EXPECT_EQ(states(), (std::vector<int32_t>{Idle, Waiting, Waiting, Printing}));
  EXPECT_EQ(view_.rows[1].texts[kColumnState], "印刷待ち") << "the state column follows";
}

TEST_F(PrintRequests, SelectedFormActsWhenARowIsSelectedEvenIfNothingChanges) {
  addJobs({Waiting});
  view_.rows[0].selected = true;
  EXPECT_TRUE(requestPrint(&state_, RequestScope::Selected).acted);
  view_.rows[0].selected = false;
  EXPECT_FALSE(requestPrint(&state_, RequestScope::Selected).acted) << "nothing selected: the caller prints all";
}

TEST_F(PrintRequests, AllFormActsOnlyWhenAJobChanged) {
  addJobs({Waiting, Printing});
  EXPECT_FALSE(requestPrint(&state_, RequestScope::All).acted);
  addJobs({Idle});
  EXPECT_TRUE(requestPrint(&state_, RequestScope::All).acted);
  EXPECT_EQ(states(), (std::vector<int32_t>{Waiting, Printing, Waiting}));
}

TEST_F(PrintRequests, CancelMakesWaitingAndPrintingIdleAndStopsTheWorkerOnlyForAPrintingJob) {
  addJobs({Waiting, Printing, Idle});
  view_.rows[0].selected = true;
  RequestResult result = cancelPrint(&state_, RequestScope::Selected);
  EXPECT_TRUE(result.acted);
  EXPECT_FALSE(result.stopWorker);
  EXPECT_EQ(states(), (std::vector<int32_t>{Idle, Printing, Idle}));

  result = cancelPrint(&state_, RequestScope::All);
  EXPECT_TRUE(result.acted);
  EXPECT_TRUE(result.stopWorker);
  EXPECT_EQ(states(), (std::vector<int32_t>{Idle, Idle, Idle}));
  EXPECT_EQ(view_.rows[1].image, kImageIdle);
}

TEST_F(PrintRequests, PrintingMeansAPrintingJobOrARecordTheWorkerHolds) {
  addJobs({Idle, Waiting});
  EXPECT_FALSE(jobIsPrinting(&state_));
  JobRecord* held = createJob();
  setWorkerRecord(held);
  EXPECT_TRUE(jobIsPrinting(&state_)) << "a cancelled job the worker still holds";
  setWorkerRecord(nullptr);
  destroyJob(held);
  jobAt(state_.lists[kPrintList], 1)->state = Printing;
  EXPECT_TRUE(jobIsPrinting(&state_));
}

TEST_F(PrintRequests, MissingListOrViewIsNoRequest) {
  state_.viewPorts[kPrintList] = nullptr;
  addJobs({Idle});
  EXPECT_FALSE(requestPrint(&state_, RequestScope::Selected).acted);
  EXPECT_EQ(states(), (std::vector<int32_t>{Idle}));
  AppState empty{};
  EXPECT_FALSE(cancelPrint(&empty, RequestScope::All).acted);
  EXPECT_FALSE(jobIsPrinting(&empty));
}

}  // namespace
}  // namespace vlx
