// What the two job-list views show: row n of a view is the record at
// position n of its list, in seven columns, with a state icon in front of
// the title. The views are reached through their JobListView ports in
// AppState; callers hold the job-list lock while they refresh.
#pragma once

#include <cstddef>

#include "app/jobs/job_record.h"
#include "app/shell/app_state.h"

namespace vlx {

class JobListView;

enum class ViewFill { Rebuild, Append };

enum JobColumn : int {
  kColumnTitle = 0,
  kColumnMachine = 1,
  kColumnState = 2,
  kColumnDate = 3,
  kColumnPort = 4,
  kColumnVirtualDevice = 5,
  kColumnFileName = 6,
};

// Images of the views' small image list (icons 114, 115, 113 in this order).
enum StateImage : int { kImageIdle = 0, kImageWaiting = 1, kImagePrinting = 2 };

// Column titles of the print list (0) and the printed list (1).
extern const char* const kColumnTitles[2][kColumnCount];

// Column 2 text and row image of a record state. A state that no listed
// record should have reads "ｴﾗｰ" and keeps the idle image.
const char* stateText(int32_t state);
int stateImage(int32_t state);

// "%d/%02d/%02d %02d:%02d": year, month, day, hour, minute of the job file.
void formatJobDate(const JobRecord& record, char* out, std::size_t capacity);
// The file name with its extension, without the folder.
const char* jobFileName(const JobRecord& record);
// The job's title from the drawing library, at most 31 bytes.
void jobTitle(const JobRecord& record, char* out, std::size_t capacity);

// Rebuild: every row anew. Append: rows only for the records past the
// view's current row count. Rows of records whose selected bit is set come
// back selected and focused, so a selection survives a rebuild that moved
// its job. The state column follows with refreshStatusColumn.
void refreshJobView(AppState* state, ViewFill fill, int listIndex);
// Column 2 text and the image of every row from its record's state.
void refreshStatusColumn(AppState* state, int listIndex);

// The view's first selected row; negative when none (or no view).
int firstSelectedRow(const JobListView* view);

// A row's state as the view reported a change of it.
struct RowChange {
  int row;
  bool selectionChanged;
  bool selected;  // new selected state
  bool focused;   // new state includes the focus
};

// Mirrors a changed row selection into the record at that row. True when
// the row now has the focus: the window then fetches the preview of this
// list. Either way the window brings the command states up to date.
bool mirrorRowChange(AppState* state, int listIndex, const RowChange& change);

}  // namespace vlx
