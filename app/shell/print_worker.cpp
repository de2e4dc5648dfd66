#include "app/shell/print_worker.h"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "Base.h"
#include "app/jobs/draw_calls.h"
#include "app/jobs/folder_scan.h"
#include "app/jobs/job_files.h"
#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/job_queries.h"
#include "app/jobs/print_journal.h"
#include "app/jobs/unmoved_jobs.h"
#include "app/shell/progress_hooks.h"
#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/path.h"

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

Outcome print(AppState* state, JobRecord* job, std::string* reason, jPrintReport* printed) {
  if (!stillPrinting(job)) {  // cancelled before the thread got here
    *reason = kCancelledBeforeReason;
    return Outcome::Failure;
  }
  const DrawCalls& draw = drawCalls();
  draw.emptyDocument(state->document, -1);
  if (!draw.loadDocument(state->document, kLoadFlags, 0, job->path) || !stillPrinting(job)) {
    draw.emptyDocument(state->document, -1);
    *reason = stillPrinting(job) ? kLoadFailedReason : kCancelledBeforeReason;
    return Outcome::Failure;
  }
  const int result = job->tileBlock
                         ? draw.printTile(nullptr, state->document, job->device, job->tileBlock, 0, job->deviceSettings)
                         : draw.print(state->mainWindow, state->document, job->device, 0, job->deviceSettings);
  // The layer's own words and its report, read on the thread that printed.
  if (draw.lastPrint) draw.lastPrint(printed);
  char words[256] = "";
  if ((result == -1 || result == 0) && draw.lastError && draw.lastError(words, sizeof words) > 0) *reason = words;
  draw.emptyDocument(state->document, -1);
  if (result == -1) {
    if (reason->empty()) *reason = kPrintFailed;
    return Outcome::Failure;
  }
  return result == 0 ? Outcome::Interrupted : Outcome::Success;
}

// The journal's view of the job before the print: who it is and the
// machine's account as it stood.
JournalEntry beginEntry(const JobRecord& job, InkEntry* before, int* inks) {
  const DrawCalls& draw = drawCalls();
  JournalEntry entry;
  entry.started = platform::localNow();
  char title[33] = "";
  if (draw.title && job.device) draw.title(job.device, title);
  title[32] = '\0';
  entry.title = title[0] ? title : platform::fileNamePart(job.path);
  entry.file = job.path;
  entry.machine = job.machineName;
  entry.device = job.virtualDevice;
  entry.port = job.port;
  jPdevArea area{};
  if (draw.area && job.device && draw.area(job.device, &area))
    entry.areaSquareMetres = (area.x1 - area.x0) * area.mmPerUnitX * (area.y1 - area.y0) * area.mmPerUnitY / 1e6;
  *inks = draw.machineInk ? draw.machineInk(job.machineName, before, kJournalInks) : 0;
  return entry;
}

// The ink the print took: the account after less the account before, ink
// by ink, to the picolitre.
void endEntry(JournalEntry* entry, Outcome outcome, const std::string& reason, const jPrintReport& printed,
              const InkEntry* before, int inks) {
  const DrawCalls& draw = drawCalls();
  entry->ended = platform::localNow();
  entry->outcome = outcome == Outcome::Success       ? JournalOutcome::Printed
                   : outcome == Outcome::Interrupted ? JournalOutcome::Cancelled
                                                     : JournalOutcome::Failed;
  entry->reason = outcome == Outcome::Interrupted && reason.empty() ? kPrintInterrupted : reason;
  takePrintReport(printed, entry);
  InkEntry after[kJournalInks] = {};
  const int read = inks > 0 && draw.machineInk ? draw.machineInk(entry->machine.c_str(), after, kJournalInks) : 0;
  entry->inks = read == inks ? inks : 0;
  for (int i = 0; i < entry->inks; ++i) {
    char name[sizeof after[i].name + 1] = {};
    std::memcpy(name, after[i].name, sizeof after[i].name);
    entry->inkNames[i] = name;
    entry->inkPicolitres[i] = after[i].totalUsed - before[i].totalUsed;
  }
}

void report(AppState* state, PrintWorkerHost* host, const char* text, const std::string& reason) {
  if (state->autoPrint != 1) {
    host->showWarning(text);
    return;
  }
  std::string notice = text;
  if (!reason.empty() && reason != text) notice += "\r\n" + reason;
  host->notify(notice.c_str());
}

// The worker's reports once its job is done with: the outcome is in the
// journal and the file where it goes before anyone is asked to click.
void reportOutcome(AppState* state, PrintWorkerHost* host, Outcome outcome, const std::string& reason, bool moved) {
  if (outcome != Outcome::Success || !moved) host->requestListViews();
  if (outcome == Outcome::Failure) report(state, host, kPrintFailed, reason);
  if (outcome == Outcome::Interrupted) report(state, host, kPrintInterrupted, reason);
  if (!moved && outcome == Outcome::Success) report(state, host, kNotMoved, std::string());
}

void workerMain(StartBlock* block, PrintWorkerHost* host) {
  AppState* state = block->state;
  JobRecord* job = block->job;
  host->requestStatusColumn();
  InkEntry before[kJournalInks] = {};
  int inks = 0;
  JournalEntry entry = beginEntry(*job, before, &inks);
  // Remembered before the first byte goes out: a crash from here on leaves
  // the job held, and the next start journals its print as cut.
  rememberPrinting(*job);
  std::string reason;
  jPrintReport printed{};
  const Outcome outcome = print(state, job, &reason, &printed);
  endEntry(&entry, outcome, reason, printed, before, inks);
  // The outcome goes to the journal before the file moves, under the name
  // the move will give it; the job stays held until the move is done, so a
  // crash in between never prints it again by itself.
  char target[kJobPathSize] = "";
  {
    JobListLock lock;
    if (!platform::isFolder(state->printedFolder)) platform::createFolder(state->printedFolder);
    makeSpoolName(state->printedFolder, target, sizeof target);
  }
  entry.movedTo = target;
  if (!target[0] && outcome == Outcome::Success) entry.reason = kNotMovedReason;
  rememberJournalled(*job, target);
  appendJournal(entry);
  bool moved = false;
  {
    JobListLock lock;
    // Into the printed list at once: the window shows it there when it
    // handles the completion.
    moveJobToListAt(job, target, listHead(state, kPrintedList), &moved);
    if (moved) forgetUnmoved(entry.file.c_str());
    setWorkerRecord(nullptr);
  }
  // Moved (or left for good): its estimate, if still wanted, may run now.
  holdJobInk(nullptr);
  if (!moved && target[0]) {
    // The line above named a move that did not happen: this one says where
    // the file is.
    entry.movedTo.clear();
    if (outcome == Outcome::Success) entry.reason = kNotMovedReason;
    appendJournal(entry);
  }
  // Left where it was: a print is held for the operator, a failure may
  // go round again.
  if (!moved && outcome == Outcome::Success) holdUnmoved(entry.file.c_str());
  if (!moved && outcome != Outcome::Success) forgetUnmoved(entry.file.c_str());
  reportOutcome(state, host, outcome, reason, moved);
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
  // Its estimate would hold the printing lock that the print needs first.
  holdJobInk(job->path);
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
    holdJobInk(nullptr);
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
    sortPrintedList(state);
    refreshJobView(state, ViewFill::Rebuild, kPrintedList);
    refreshStatusColumn(state, kPrintedList);
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
