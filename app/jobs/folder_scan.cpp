#include "app/jobs/folder_scan.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/jobs/intake_watch.h"
#include "app/jobs/job_files.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/listed_index.h"
#include "app/jobs/print_journal.h"
#include "app/jobs/unmoved_jobs.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr char kPathTooLongFormat[] = "ﾊﾟｽが長すぎます（%d文字、%d文字まで）";

// One watch per scanned folder, for the life of the process, with the list
// its files go to.
struct FolderWatch {
  IntakeWatch watch;
  int listIndex = kPrintList;
};

std::map<std::string, FolderWatch>& watches() {
  static std::map<std::string, FolderWatch> all;
  return all;
}

// A path as the scans compare paths: single-byte letters in lower case,
// double-byte characters unchanged.
std::string foldedPath(const char* path) {
  std::string key(path);
  for (std::size_t i = 0; i < key.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(key[i]);
    if (platform::isLeadByte(c)) {
      ++i;
    } else if (c >= 'A' && c <= 'Z') {
      key[i] = static_cast<char>(c - 'A' + 'a');
    }
  }
  return key;
}

// No other process holds the file open: a host that is still writing it
// keeps it open. (Only Windows refuses such an open; elsewhere the size and
// time checks stand alone.)
bool openExclusively(const char* path) {
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadExclusive);
  if (!file) return false;
  platform::closeFile(file);
  return true;
}

// Moves a file that is no job this installation can print out of the
// scanned folder into the rejected-jobs folder and says why in the journal.
// False when it could not be moved (it is looked at again next scan).
bool reject(AppState* state, const char* path, const char* reason) {
  char movedTo[kJobPathSize];
  if (!moveToRejected(path, state->hotFolder, movedTo, sizeof movedTo)) return false;
  JournalEntry entry;
  entry.started = platform::localNow();
  entry.ended = entry.started;
  entry.title = platform::fileNamePart(path);
  entry.file = path;
  entry.movedTo = movedTo;
  entry.outcome = JournalOutcome::Rejected;
  entry.reason = reason;
  appendJournal(entry);
  return true;
}

// How long a file that ends before its job does waits for its writer.
std::int64_t settleWaitMilliseconds(const AppState& state) {
  return std::clamp<std::int64_t>(state.settleWait, 0, 24 * 60 * 60) * 1000;
}

// The file is as it was at the look that took it: a writer that wrote on
// while it was read leaves it for a later look.
bool unchangedSince(const char* path, const platform::FolderEntry& seen) {
  platform::FolderEntry now{};
  return platform::lookAtFile(path, &now) && now.size == seen.size && now.writeTime == seen.writeTime;
}

// A file not listed yet, looked at now: its new record when it has settled
// and could be taken, else null (it waits, or it is put off: held open
// elsewhere, not readable just now, not written to its end yet). Never
// delete what the queue did not finish: a file that is no job is set aside
// with its reason, and so is one cut short that stayed so for the set time.
JobRecord* consider(AppState* state, IntakeWatch& watch, const std::string& key, const char* path,
                    const platform::FolderEntry& entry, std::int64_t now) {
  if (watch.look(key, path, entry.size, entry.writeTime, now) == IntakeWatch::Verdict::Wait) return nullptr;
  LoadVerdict verdict = LoadVerdict::Retry;
  char reason[256] = "";
  JobRecord* record = openExclusively(path) ? createJob() : nullptr;
  if (record) {
    platform::copyString(record->path, sizeof record->path, path);
    record->state = Idle;
    verdict = loadJobChecked(state, record, reason, sizeof reason);
  }
  // Written on while it was read: the next look starts its settling afresh.
  if (verdict != LoadVerdict::Retry && !unchangedSince(path, entry)) verdict = LoadVerdict::Retry;
  if (record && verdict != LoadVerdict::Loaded) {
    destroyJob(record);
    record = nullptr;
  }
  bool done = record != nullptr;
  if (verdict == LoadVerdict::Reject) done = reject(state, path, reason);
  if (verdict == LoadVerdict::Unfinished && watch.unchangedFor(key, now) >= settleWaitMilliseconds(*state))
    done = reject(state, path, reason);
  if (!done) {
    watch.putOff(key, now);
    return nullptr;
  }
  watch.forget(key);
  return record;
}

// A file whose path is longer than the program's paths can hold: it can
// never be listed, so once it has settled it is set aside with its reason.
void considerLongName(AppState* state, IntakeWatch& watch, const std::string& path, const platform::FolderEntry& entry,
                      std::int64_t now) {
  const std::string key = foldedPath(path.c_str());
  if (watch.look(key, path, entry.size, entry.writeTime, now) == IntakeWatch::Verdict::Wait) return;
  char reason[128];
  std::snprintf(reason, sizeof reason, kPathTooLongFormat, static_cast<int>(path.size()),
                static_cast<int>(kJobPathSize - 1));
  if (reject(state, path.c_str(), reason))
    watch.forget(key);
  else
    watch.putOff(key, now);  // held open by its writer, or no room: the next look tries again
}

// The printed list as its scans leave it: newest first, HOLDJOB long.
void orderPrinted(AppState* state) {
  sortNewestFirst(listHead(state, kPrintedList));
  trimToHoldJobs(listHead(state, kPrintedList), state->holdJobs);
}

void scanFolder(AppState* state, int listIndex, const char* folder) {
  JobRecord* head = listHead(state, listIndex);
  if (!head || !folder || !folder[0]) return;
  // Listed paths in an index kept from scan to scan and the tail kept at
  // hand: a scan stays linear in the number of files and records.
  static ListedIndex indexes[2];
  ListedIndex& listed = indexes[listIndex == kPrintedList ? 1 : 0];
  listed.rebuild(head);
  JobRecord* tail = lastOf(head);
  FolderWatch& watched = watches()[foldedPath(folder)];
  watched.listIndex = listIndex;
  IntakeWatch& watch = watched.watch;
  watch.beginScan();
  const std::int64_t now = watchClock();
  platform::listFolder(folder, [&](const platform::FolderEntry& entry) {
    if (entry.isDirectory) return true;
    char path[kJobPathSize];
    // A name that does not fit the record would name another file once cut.
    if (!platform::joinPath(path, sizeof path, folder, entry.name)) {
      if (listIndex == kPrintList) {
        const std::string separator = platform::endsWithSeparator(folder) ? "" : std::string(1, platform::kSeparator);
        considerLongName(state, watch, folder + separator + entry.name, entry, now);
      }
      return true;
    }
    if (listed.contains(path)) return true;
    if (JobRecord* record = consider(state, watch, foldedPath(path), path, entry, now)) {
      insertAfter(record, tail);
      tail = record;
      listed.add(record);
    }
    return true;
  });
  watch.endScan();
}

std::int64_t dateKey(const JobRecord& r) {
  return ((((static_cast<std::int64_t>(r.year) * 400 + r.month * 31 + r.day) * 24 + r.hour) * 60 + r.minute) * 60) +
         r.second;
}

}  // namespace

int rescanFolders(AppState* state, ViewFill fill) {
  JobListLock lock;
  scanHotFolder(state);
  refreshJobView(state, fill, kPrintList);
  refreshStatusColumn(state, kPrintList);
  scanPrintedFolder(state);
  refreshJobView(state, fill, kPrintedList);
  refreshStatusColumn(state, kPrintedList);
  return 1;
}

int scanHotFolder(AppState* state) {
  JobListLock lock;
  if (state) scanFolder(state, kPrintList, state->hotFolder);
  pruneUnmoved();  // a remembered file the operator has dealt with
  return 1;
}

int scanPrintedFolder(AppState* state) {
  JobListLock lock;
  if (!state) return 1;
  scanFolder(state, kPrintedList, state->printedFolder);
  orderPrinted(state);
  refreshJobView(state, ViewFill::Rebuild, kPrintedList);
  refreshStatusColumn(state, kPrintedList);
  return 1;
}

int addJobFromFile(AppState* state, JobRecord* head, const char* path) {
  if (!state || !head || !path || !path[0]) return 0;
  JobRecord* record = createJob();
  if (!record) return 0;
  platform::copyString(record->path, sizeof record->path, path);
  record->state = Idle;
  char reason[256];
  const LoadVerdict verdict = loadJobChecked(state, record, reason, sizeof reason);
  if (verdict != LoadVerdict::Loaded) {
    destroyJob(record);
    if (verdict == LoadVerdict::Reject) reject(state, path, reason);
    return 0;
  }
  if (!append(record, head)) {
    destroyJob(record);
    return 0;
  }
  return 1;
}

void sortNewestFirst(JobRecord* head) {
  if (!head) return;
  std::vector<JobRecord*> records;
  bool sorted = true;
  for (JobRecord* r = head->next; r; r = r->next) {
    if (!records.empty() && dateKey(*records.back()) < dateKey(*r)) sorted = false;
    records.push_back(r);
  }
  if (sorted) return;
  // Stable: records of equal dates keep their order, as an insertion sort
  // that moves a record only past strictly older ones would leave them.
  std::stable_sort(records.begin(), records.end(),
                   [](const JobRecord* a, const JobRecord* b) { return dateKey(*a) > dateKey(*b); });
  JobRecord* previous = head;
  for (JobRecord* r : records) {
    previous->next = r;
    r->prev = previous;
    previous = r;
  }
  previous->next = nullptr;
}

void trimToHoldJobs(JobRecord* head, int32_t holdJobs) {
  if (!head || holdJobs < 0) return;
  JobRecord* r = jobAt(head, holdJobs);
  while (r) {
    JobRecord* next = r->next;
    deleteJob(r);
    r = next;
  }
}

int filesSettling() {
  JobListLock lock;
  std::size_t count = 0;
  for (const auto& [folder, watched] : watches()) count += watched.watch.waiting();
  return static_cast<int>(count);
}

int settleCheckDelay() {
  JobListLock lock;
  std::int64_t due = IntakeWatch::kNotDue;
  for (const auto& [folder, watched] : watches()) due = std::min(due, watched.watch.nextDue());
  if (due == IntakeWatch::kNotDue) return -1;
  const std::int64_t wait = due - watchClock();
  return wait <= 0 ? 0 : static_cast<int>(std::min<std::int64_t>(wait, INT32_MAX));
}

int recheckSettling(AppState* state) {
  JobListLock lock;
  if (!state) return 0;
  int mask = 0;
  const std::int64_t now = watchClock();
  for (auto& [folder, watched] : watches()) {
    JobRecord* head = listHead(state, watched.listIndex);
    if (!head) continue;
    for (const auto& [key, path] : watched.watch.dueLooks(now)) {
      platform::FolderEntry entry{};
      if (!platform::lookAtFile(path.c_str(), &entry) || entry.isDirectory) {
        watched.watch.forget(key);  // gone: the next scan sees what is there
        continue;
      }
      if (path.size() >= kJobPathSize) {
        considerLongName(state, watched.watch, path, entry, now);
        continue;
      }
      if (JobRecord* record = consider(state, watched.watch, key, path.c_str(), entry, now)) {
        append(record, head);
        mask |= 1 << watched.listIndex;
      }
    }
  }
  if (mask & (1 << kPrintedList)) orderPrinted(state);
  return mask;
}

void sortPrintedList(AppState* state) {
  JobListLock lock;
  if (state) sortNewestFirst(listHead(state, kPrintedList));
}

void forgetSeenFiles() {
  JobListLock lock;
  watches().clear();
}

}  // namespace vlx
