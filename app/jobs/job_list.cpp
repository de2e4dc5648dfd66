#include "app/jobs/job_list.h"

namespace vlx {
namespace {

// Is record joined to its neighbours, i.e. do they point back at it?
bool isLinked(const JobRecord* record) {
  if (!record->prev || record->prev->next != record) return false;
  return !record->next || record->next->prev == record;
}

// A record with no prev but a record after it starts a list.
bool isHead(const JobRecord* record) {
  return !record->prev && record->next;
}

}  // namespace

JobRecord* listHead(const AppState* state, int listIndex) {
  if (!state || (listIndex != kPrintList && listIndex != kPrintedList)) return nullptr;
  return state->lists[listIndex];
}

int countJobs(const JobRecord* head) {
  if (!head) return 0;
  int count = 0;
  for (const JobRecord* r = head->next; r; r = r->next) ++count;
  return count;
}

JobRecord* jobAt(JobRecord* head, int position) {
  if (!head) return nullptr;
  if (position == kLastJob) return head->next ? lastOf(head) : nullptr;
  if (position < 0) return nullptr;
  JobRecord* r = head->next;
  for (int i = 0; r && i < position; ++i) r = r->next;
  return r;
}

int positionOf(const JobRecord* record) {
  if (!record || !record->prev) return -1;
  int position = 0;
  for (const JobRecord* r = record->prev; r->prev; r = r->prev) ++position;
  return position;
}

JobRecord* headOf(JobRecord* record) {
  if (!record) return nullptr;
  while (record->prev) record = record->prev;
  return record;
}

JobRecord* lastOf(JobRecord* record) {
  if (!record) return nullptr;
  while (record->next) record = record->next;
  return record;
}

JobRecord* prevOf(JobRecord* record) {
  return record ? record->prev : nullptr;
}

JobRecord* nextOf(JobRecord* record) {
  return record ? record->next : nullptr;
}

int unlink(JobRecord* record) {
  // Joining the neighbours of a record that was already taken out would cut
  // the records in between out of the list.
  if (!record || !isLinked(record)) return 0;
  record->prev->next = record->next;
  if (record->next) record->next->prev = record->prev;
  return 1;
}

int insertAfter(JobRecord* record, JobRecord* anchor) {
  if (!record || !anchor || record == anchor || isHead(record)) return 0;
  unlink(record);
  record->prev = anchor;
  record->next = anchor->next;
  if (anchor->next) anchor->next->prev = record;
  anchor->next = record;
  return 1;
}

int insertBefore(JobRecord* record, JobRecord* anchor) {
  // Nothing goes before a head: it must stay the only record without prev.
  if (!record || !anchor || !anchor->prev || record == anchor || isHead(record)) return 0;
  unlink(record);  // so that anchor->prev is the record that stays before it
  return insertAfter(record, anchor->prev);
}

int append(JobRecord* record, JobRecord* anyRecord) {
  if (!record || !anyRecord || isHead(record)) return 0;
  // Start from the head when the record names its own list: once it is out,
  // its own next no longer leads to the end.
  JobRecord* from = anyRecord == record ? headOf(record) : anyRecord;
  if (from == record) return 0;  // a record in no list
  unlink(record);
  return insertAfter(record, lastOf(from));
}

}  // namespace vlx
