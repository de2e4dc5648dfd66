#include "app/jobs/job_list_view.h"

#include <cstdio>
#include <cstring>

#include "Draw.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view_port.h"
#include "app/jobs/job_selection.h"
#include "app/jobs/job_walk.h"
#include "app/jobs/journal_texts.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr std::size_t kTitleSize = 32;  // jPdevGetTitle's buffer
constexpr std::size_t kDateSize = 64;   // room for any six int32 values

struct StateLook {
  int32_t state;
  const char* text;
  int image;
};

constexpr StateLook kStateLooks[] = {
    {Idle, "", kImageIdle},
    {Waiting, "印刷待ち", kImageWaiting},
    {Printing, "印刷中", kImagePrinting},
};
constexpr StateLook kUnknownState = {0, "ｴﾗｰ", kImageIdle};

const StateLook& lookOf(int32_t state) {
  for (const StateLook& look : kStateLooks) {
    if (look.state == state) return look;
  }
  return kUnknownState;
}

JobListView* viewOf(const AppState* state, int listIndex) {
  if (!listHead(state, listIndex)) return nullptr;
  return state->viewPorts[listIndex];
}

// A record's fixed-size text field, terminated even if the field is full.
void fieldText(const char* field, std::size_t size, char* out, std::size_t capacity) {
  char copy[kJobPathSize];
  const std::size_t length = strnlen(field, size < sizeof copy ? size : sizeof copy - 1);
  std::memcpy(copy, field, length);
  copy[length] = '\0';
  platform::copyTruncated(out, capacity, copy);
}

struct Fill {
  JobListView* view;
  int firstRow;
  int position;
};

int fillRow(JobRecord* record, AppState*, int, void* user) {
  Fill* fill = static_cast<Fill*>(user);
  const int row = fill->position++;
  if (row < fill->firstRow) return 0;
  JobListView* view = fill->view;
  char text[kJobPathSize];
  jobTitle(*record, text, sizeof text);
  view->insertRow(row, text, kImageIdle);
  fieldText(record->machineName, sizeof record->machineName, text, sizeof text);
  view->setCell(row, kColumnMachine, text);
  formatJobDate(*record, text, sizeof text);
  view->setCell(row, kColumnDate, text);
  fieldText(record->port, sizeof record->port, text, sizeof text);
  view->setCell(row, kColumnPort, text);
  fieldText(record->virtualDevice, sizeof record->virtualDevice, text, sizeof text);
  view->setCell(row, kColumnVirtualDevice, text);
  view->setCell(row, kColumnFileName, jobFileName(*record));
  if (record->selected & 1) view->setSelectedFocused(row);
  return 0;
}

struct StatusFill {
  JobListView* view;
  int row;
};

// A printed job's state is what its last attempt came to, from the journal.
int fillStatus(JobRecord* record, AppState*, int listIndex, void* user) {
  StatusFill* fill = static_cast<StatusFill*>(user);
  const StateLook& look = lookOf(record->state);
  if (listIndex == kPrintedList) {
    char text[kJobPathSize];
    journalStateText(record->path, text, sizeof text);
    fill->view->setCell(fill->row, kColumnState, text);
  } else {
    fill->view->setCell(fill->row, kColumnState, look.text);
  }
  fill->view->setImage(fill->row, look.image);
  ++fill->row;
  return 0;
}

}  // namespace

const char* const kColumnTitles[2][kColumnCount] = {
    {"ﾀｲﾄﾙ", "出力機器", "状況", "日時", "ﾎﾟｰﾄ", "仮想ﾃﾞﾊﾞｲｽ", "ﾌｧｲﾙ名"},
    {"印刷済みｼﾞｮﾌﾞ", "出力機器", "状況", "日時", "ﾎﾟｰﾄ", "仮想ﾃﾞﾊﾞｲｽ", "ﾌｧｲﾙ名"},
};

const char* stateText(int32_t state) {
  return lookOf(state).text;
}

int stateImage(int32_t state) {
  return lookOf(state).image;
}

void formatJobDate(const JobRecord& record, char* out, std::size_t capacity) {
  if (!out || capacity == 0) return;
  char date[kDateSize];
  std::snprintf(date, sizeof date, "%d/%02d/%02d %02d:%02d", static_cast<int>(record.year),
                static_cast<int>(record.month), static_cast<int>(record.day), static_cast<int>(record.hour),
                static_cast<int>(record.minute));
  platform::copyTruncated(out, capacity, date);
}

const char* jobFileName(const JobRecord& record) {
  if (strnlen(record.path, sizeof record.path) == sizeof record.path) return "";  // not a terminated path
  return platform::fileNamePart(record.path);
}

void jobTitle(const JobRecord& record, char* out, std::size_t capacity) {
  if (!out || capacity == 0) return;
  char title[kTitleSize] = {};
  if (record.device == 0 || jPdevGetTitle(record.device, title) == 0) title[0] = '\0';
  title[kTitleSize - 1] = '\0';
  platform::copyTruncated(out, capacity, title);
}

void refreshJobView(AppState* state, ViewFill fill, int listIndex) {
  JobListView* view = viewOf(state, listIndex);
  if (!view) return;
  if (fill == ViewFill::Rebuild) view->deleteAllRows();
  Fill rows{view, fill == ViewFill::Rebuild ? 0 : view->rowCount(), 0};
  walkForward(state, listIndex, fillRow, &rows);
}

void refreshStatusColumn(AppState* state, int listIndex) {
  JobListView* view = viewOf(state, listIndex);
  if (!view) return;
  StatusFill rows{view, 0};
  walkForward(state, listIndex, fillStatus, &rows);
}

int firstSelectedRow(const JobListView* view) {
  return view ? view->nextSelected(-1) : -1;
}

bool mirrorRowChange(AppState* state, int listIndex, const RowChange& change) {
  if (change.selectionChanged) setSelectedAt(state, listIndex, change.row, change.selected ? 1 : 0);
  return change.focused;
}

}  // namespace vlx
