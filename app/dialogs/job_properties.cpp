#include "app/dialogs/job_properties.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/jobs/job_ink.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/journal_texts.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr char kNoJob[] = "情報なし（選択されていません）";
constexpr char kOwnFileKind[] = "VJX（専用ﾌｧｲﾙ）";
constexpr char kUnknownKind[] = "不明";
constexpr char kTiled[] = "（分割あり）";
constexpr char kNotTiled[] = "（分割なし）";
constexpr char kInkBeingEstimated[] = "見積り中...";

}  // namespace

JobPropertiesTexts jobPropertiesTexts(const JobRecord& record, const char* deviceInfo, const jPdevArea& area) {
  JobPropertiesTexts t{};
  t.haveJob = true;
  platform::copyTruncated(t.title, sizeof t.title, deviceInfo ? deviceInfo : "");
  platform::copyTruncated(t.kind, sizeof t.kind, record.fileKind == kOwnSpoolFileKind ? kOwnFileKind : kUnknownKind);
  platform::copyTruncated(t.path, sizeof t.path, record.path);
  std::snprintf(t.date, sizeof t.date, "%d年 %02d月 %02d日  %02d時 %02d分 %02d秒", record.year, record.month,
                record.day, record.hour, record.minute, record.second);
  std::snprintf(t.fileSize, sizeof t.fileSize, "%d KB", static_cast<int>(record.fileSize / 1024));
  const float width = (area.x1 - area.x0) * area.mmPerUnitX;
  const float height = (area.y1 - area.y0) * area.mmPerUnitY;
  std::snprintf(t.printSize, sizeof t.printSize, "横 %.2fmm  x  縦 %.2fmm  %s", static_cast<double>(width),
                static_cast<double>(height), area.tiled ? kTiled : kNotTiled);
  platform::copyTruncated(t.machine, sizeof t.machine, record.machineName);
  return t;
}

void fillInkText(const char* path, JobPropertiesTexts* t) {
  InkEstimate estimate;
  t->inkReady = jobInk(path, &estimate);
  if (t->inkReady)
    formatInkEstimate(estimate, t->ink, sizeof t->ink);
  else
    platform::copyTruncated(t->ink, sizeof t->ink, jobInkRunning() ? kInkBeingEstimated : "");
}

void fillHistoryText(const char* path, JobPropertiesTexts* t) {
  std::vector<JournalEntry> entries = journalEntriesFor(path);
  std::string text = attemptHistoryText(entries);
  while (text.size() >= sizeof t->history && entries.size() > 1) {
    entries.erase(entries.begin());
    text = attemptHistoryText(entries);
  }
  platform::copyTruncated(t->history, sizeof t->history, text.c_str());
}

JobPropertiesTexts noJobPropertiesTexts() {
  JobPropertiesTexts t{};
  platform::copyTruncated(t.title, sizeof t.title, kNoJob);
  return t;
}

JobPropertiesTexts selectedJobPropertiesTexts(AppState* state, int listIndex) {
  if (!state || (listIndex != kPrintList && listIndex != kPrintedList)) return noJobPropertiesTexts();
  JobListLock lock;
  JobRecord* head = listHead(state, listIndex);
  const int row = firstSelectedRow(state->viewPorts[listIndex]);
  if (row < 0 || row >= countJobs(head)) return noJobPropertiesTexts();
  const JobRecord* job = jobAt(head, row);
  if (!job) return noJobPropertiesTexts();
  char info[256] = "";
  jPdevArea area{};
  if (job->device) {
    if (!jPdevGetDevInfo(job->device, info)) info[0] = '\0';
    info[sizeof info - 1] = '\0';
    if (!jPdevGetArea(job->device, &area)) area = jPdevArea{};
  }
  JobPropertiesTexts texts = jobPropertiesTexts(*job, info, area);
  fillInkText(job->path, &texts);
  fillHistoryText(job->path, &texts);
  return texts;
}

}  // namespace vlx
