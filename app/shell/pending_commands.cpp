#include "app/shell/pending_commands.h"

namespace vlx::pending {

// Filled by the job operations: remove the selected (or all) jobs of the
// list with their files, except the one that prints.
int deleteJobs(AppState*, int) {
  return 0;
}
int deleteAllJobs(AppState*, int) {
  return 0;
}

// Filled by the job operations: reorder the selected jobs within the list.
int moveJobsToTop(AppState*, int) {
  return 0;
}
int moveJobsUp(AppState*, int) {
  return 0;
}
int moveJobsDown(AppState*, int) {
  return 0;
}
int moveJobsToBottom(AppState*, int) {
  return 0;
}

// Filled by the job operations: the selected jobs' files go to the other
// folder and their records to the other list.
int moveJobsToOtherFolder(AppState*, int) {
  return 0;
}

// Filled by the job operations: the selected job's preview into the preview
// buffer and bitmap. Until then the panel keeps its empty picture.
int showPreview(AppState*, int) {
  return 0;
}

// Filled by the folder scan: new job files of the hot folder appended to the
// print list, the printed-job folder listed anew.
int rescanFolders(AppState*, ScanMode) {
  return 0;
}

// Filled by the print worker.
int startNextJob(AppState*) {
  return 0;
}
void stopPrintWorker() {}

}  // namespace vlx::pending
