#include "app/jobs/job_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/clock.h"

namespace vlx {
namespace {

TEST(JobListLock, TheSameThreadMayTakeItAgain) {
  initJobListLock();
  {
    JobListLock outer;
    JobListLock inner;
    enterJobList();
    leaveJobList();
  }
  deleteJobListLock();
  SUCCEED();
}

TEST(JobListLock, AnotherThreadWaitsUntilItIsReleased) {
  initJobListLock();
  std::atomic<bool> entered{false};
  std::thread other;
  {
    JobListLock lock;
    enterJobList();  // held twice: both must be released
    other = std::thread([&] {
      JobListLock theirs;
      entered = true;
    });
    platform::sleepMilliseconds(50);
    leaveJobList();
    platform::sleepMilliseconds(50);
    EXPECT_FALSE(entered.load());
  }
  other.join();
  EXPECT_TRUE(entered.load());
  deleteJobListLock();
}

TEST(JobListLock, DeletingTheLockForgetsTheWorkersRecord) {
  initJobListLock();
  auto* record = reinterpret_cast<JobRecord*>(alignof(std::max_align_t));
  setWorkerRecord(record);
  EXPECT_EQ(workerRecord(), record);
  deleteJobListLock();
  EXPECT_EQ(workerRecord(), nullptr);
}

}  // namespace
}  // namespace vlx
