#include "app/shell/print_worker.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "Base.h"
#include "app/jobs/draw_calls.h"
#include "app/jobs/job_files.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/job_queries.h"
#include "app/shell/progress_hooks.h"

namespace vlx {
namespace {

constexpr int kLoadFlags = 16;
// The worker posts its completion as one of its last steps; what is left
// (freeing its block) takes no time. Longer than this means something is
// wrong with the thread, and the window thread does not wait for it.
constexpr int kWorkerEndMilliseconds = 5000;

enum class Outcome { Failure, Interrupted, Success };

// Allocated by the start step, freed by the worker at its end.
struct StartBlock {
  AppState* state;
  JobRecord* job;
};

struct WorkerState {
  std::thread thread;
  std::atomic<bool> running{false};
  // Set by the worker as the last thing it does, for waits with a time-out.
  std::mutex endMutex;
  std::condition_variable endSignal;
  bool ended = true;
  // A program ended without a close (the window destroyed from outside while
  // a print ran) must not abort on a thread nobody joined.
  ~WorkerState() {
    if (thread.joinable()) thread.detach();
  }
};

WorkerState& worker() {
  static WorkerState w;
  return w;
}

bool stillPrinting(const JobRecord* job) {
  JobListLock lock;
  return job->state == Printing;
}

Outcome print(AppState* state, JobRecord* job) {
  if (!stillPrinting(job)) return Outcome::Failure;  // cancelled before the thread got here
  const DrawCalls& draw = drawCalls();
  draw.emptyDocument(state->document, -1);
  if (!draw.loadDocument(state->document, kLoadFlags, 0, job->path) || !stillPrinting(job)) {
    draw.emptyDocument(state->document, -1);
    return Outcome::Failure;
  }
  const int result = job->tileBlock
                         ? draw.printTile(nullptr, state->document, job->device, job->tileBlock, 0, job->deviceSettings)
                         : draw.print(state->mainWindow, state->document, job->device, 0, job->deviceSettings);
  draw.emptyDocument(state->document, -1);
  if (result == -1) return Outcome::Failure;
  return result == 0 ? Outcome::Interrupted : Outcome::Success;
}

void workerMain(StartBlock* block, PrintWorkerHost* host) {
  AppState* state = block->state;
  JobRecord* job = block->job;
  host->requestStatusColumn();
  const Outcome outcome = print(state, job);
  if (outcome == Outcome::Failure) host->showWarning(kPrintFailed);
  if (outcome == Outcome::Interrupted) host->showWarning(kPrintInterrupted);
  {
    JobListLock lock;
    moveJobToFolder(job, state->printedFolder);
    setWorkerRecord(nullptr);
  }
  host->postCompletion();
  jMemFree(block);
  WorkerState& w = worker();
  std::lock_guard<std::mutex> lock(w.endMutex);
  w.ended = true;
  w.endSignal.notify_all();
}

void joinEndedThread() {
  WorkerState& w = worker();
  if (w.thread.joinable()) w.thread.join();
}

}  // namespace

int startNextJob(AppState* state, PrintWorkerHost* host) {
  if (!state || !host) return 0;
  JobListLock lock;
  WorkerState& w = worker();
  if (w.running.load()) return 0;
  const NextJob next = nextJobToPrint(state);
  if (!next.firstWaiting || next.printing) return 0;
  auto* block = static_cast<StartBlock*>(jMemAlloc(sizeof(StartBlock)));
  if (!block) return 0;
  JobRecord* job = next.firstWaiting;
  *block = StartBlock{state, job};
  job->state = Printing;
  setWorkerRecord(job);
  w.running.store(true);
  armProgress();
  joinEndedThread();  // a worker whose completion was never handled (tests)
  {
    std::lock_guard<std::mutex> endLock(w.endMutex);
    w.ended = false;
  }
  try {
    w.thread = std::thread(workerMain, block, host);
  } catch (const std::system_error&) {
    // No thread: nothing may stay Printing or held, and the job waits for
    // the next refresh.
    job->state = Waiting;
    setWorkerRecord(nullptr);
    w.running.store(false);
    {
      std::lock_guard<std::mutex> endLock(w.endMutex);
      w.ended = true;
    }
    jMemFree(block);
    return 0;
  }
  return 1;
}

void finishPrintWorker(AppState* state) {
  WorkerState& w = worker();
  if (!waitForPrintWorker(kWorkerEndMilliseconds) && w.thread.joinable()) w.thread.detach();
  {
    JobListLock lock;
    refreshJobView(state, ViewFill::Rebuild, kPrintList);
    refreshStatusColumn(state, kPrintList);
  }
  w.running.store(false);
}

bool printWorkerRunning() {
  return worker().running.load();
}

void stopPrintWorker() {
  stopProgress();
}

bool waitForPrintWorker(int milliseconds) {
  WorkerState& w = worker();
  std::unique_lock<std::mutex> lock(w.endMutex);
  if (!w.endSignal.wait_for(lock, std::chrono::duration<int, std::milli>(milliseconds), [&] { return w.ended; }))
    return false;
  lock.unlock();
  joinEndedThread();
  return true;
}

}  // namespace vlx
