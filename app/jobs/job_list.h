// The job lists: doubly linked chains of job records, each starting with a
// head record that carries no job. A list is named by its head, or by its
// list index through the application state (listHead).
#pragma once

#include "app/jobs/job_record.h"
#include "app/shell/app_state.h"

namespace vlx {

// The position of jobAt that names the last record of a list.
constexpr int kLastJob = -1;

// The head record of list index 0 or 1; null for another index or state.
JobRecord* listHead(const AppState* state, int listIndex);

// Number of records after the head.
int countJobs(const JobRecord* head);
// The record at a 0-based position after the head (null when the list is
// shorter), or the last record for kLastJob; any other negative position is
// null.
JobRecord* jobAt(JobRecord* head, int position);
// 0-based position of record in its list; -1 for the head or a null record.
int positionOf(const JobRecord* record);

JobRecord* headOf(JobRecord* record);
// The last record of the chain (the head itself when the list is empty).
JobRecord* lastOf(JobRecord* record);
JobRecord* prevOf(JobRecord* record);
JobRecord* nextOf(JobRecord* record);

// Joins the record's neighbours to each other. The record keeps its own
// links; it is re-inserted or destroyed right after. A head record, or a
// record that is no longer where its links say, is left alone (0).
int unlink(JobRecord* record);
// Link record after or before anchor. A record still linked somewhere is
// taken out of its place first. Refused (0): null arguments, record ==
// anchor, a head record as the one to insert, and insertBefore a head.
int insertAfter(JobRecord* record, JobRecord* anchor);
int insertBefore(JobRecord* record, JobRecord* anchor);
// Links record after the last record of the chain that anyRecord belongs to.
int append(JobRecord* record, JobRecord* anyRecord);

}  // namespace vlx
