// What the job properties dialog shows: the texts of its seven fields, made
// from a job record and what the drawing library knows of the job's device.
// The texts are taken under the job-list lock and the lock is released
// before the dialog waits for the user, so a job that is printed, moved or
// deleted meanwhile leaves the dialog showing what was known.
#pragma once

#include "Draw.h"
#include "app/jobs/job_record.h"
#include "app/shell/app_state.h"

namespace vlx {

struct JobPropertiesTexts {
  bool haveJob;
  char title[256];                 // 1011
  char kind[64];                   // 1012
  char path[kJobPathSize];         // 1002
  char date[96];                   // 1018
  char fileSize[32];               // 1016
  char printSize[128];             // 1014
  char machine[kMachineNameSize];  // 1017
  char ink[512];                   // the ink estimate, or that it is being made
  bool inkReady;                   // false while the estimate is being made
  char history[2048];              // the job's lines of the print journal, newest last
};

// The texts of one job, with its device's information text and area (a
// zeroed area when the library has none).
JobPropertiesTexts jobPropertiesTexts(const JobRecord& record, const char* deviceInfo, const jPdevArea& area);
// No job: the title field says so, the others are empty.
JobPropertiesTexts noJobPropertiesTexts();

// The ink text of a job file: its estimate when there is one, else that it
// is being made (the file is then queued), or nothing without an estimator.
void fillInkText(const char* path, JobPropertiesTexts* texts);

// The job file's attempts from the print journal; the newest kept whole
// when they do not all fit.
void fillHistoryText(const char* path, JobPropertiesTexts* texts);

// The texts of the first selected job of a list, taken under the job-list
// lock; the no-job texts when nothing valid is selected.
JobPropertiesTexts selectedJobPropertiesTexts(AppState* state, int listIndex);

}  // namespace vlx
