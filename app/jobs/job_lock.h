// The job-list lock: one process-wide recursive lock that guards both job
// lists and the job states against the print worker. Created before the main
// window and deleted after the message loop; every user of the lists takes it
// through enterJobList/leaveJobList or a JobListLock guard.
//
// The lock also guards the worker's record: the job the print worker still
// holds. The removing operations refuse that record exactly like a Printing
// one, even after a cancel has made it Idle.
#pragma once

struct JobRecord;

namespace vlx {

int initJobListLock();
int deleteJobListLock();
void enterJobList();
void leaveJobList();

class JobListLock {
 public:
  JobListLock() { enterJobList(); }
  ~JobListLock() { leaveJobList(); }
  JobListLock(const JobListLock&) = delete;
  JobListLock& operator=(const JobListLock&) = delete;
};

// The record the print worker holds; null when none. Set by the start step,
// cleared when the worker has destroyed its record.
JobRecord* workerRecord();
void setWorkerRecord(JobRecord* record);
bool isHeldByWorker(const JobRecord* record);

}  // namespace vlx
