// The lock object itself lives for the whole process, so that an enter that
// comes after deleteJobListLock (a late worker, a test without set-up) still
// locks a real mutex rather than freed memory; init and delete mark the
// span in which the program uses it and reset what it guards.
#include "app/jobs/job_lock.h"

#include <atomic>
#include <mutex>

namespace vlx {
namespace {

std::recursive_mutex& lockObject() {
  static std::recursive_mutex lock;
  return lock;
}

// Read by the window thread while the worker may clear it: atomic, though
// every writer also holds the lock.
std::atomic<JobRecord*> g_workerRecord{nullptr};

}  // namespace

int initJobListLock() {
  lockObject();
  g_workerRecord.store(nullptr);
  return 1;
}

int deleteJobListLock() {
  g_workerRecord.store(nullptr);
  return 1;
}

void enterJobList() {
  lockObject().lock();
}

void leaveJobList() {
  lockObject().unlock();
}

JobRecord* workerRecord() {
  return g_workerRecord.load();
}

void setWorkerRecord(JobRecord* record) {
  g_workerRecord.store(record);
}

bool isHeldByWorker(const JobRecord* record) {
  return record && g_workerRecord.load() == record;
}

}  // namespace vlx
