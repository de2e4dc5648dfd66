// The job list views over real report-style list-view controls: the
// JobListView port of the job code, and the set-up the main window needs
// for both lists (control, columns, state icons, widths, row changes).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "app/jobs/job_list_view.h"
#include "app/jobs/job_list_view_port.h"

namespace vlx {

class Win32JobListView final : public JobListView {
 public:
  explicit Win32JobListView(HWND list = nullptr) : list_(list) {}
  void attach(HWND list) { list_ = list; }
  HWND window() const { return list_; }

  int nextSelected(int after) const override;
  int rowCount() const override;
  void deleteAllRows() override;
  void insertRow(int row, const char* title, int image) override;
  void setCell(int row, int column, const char* text) override;
  void setImage(int row, int image) override;
  void setSelectedFocused(int row) override;

 private:
  HWND list_;
};

// A job list control: child, visible, border, report view, selection always
// shown; grid lines and full-row selection. Null on failure.
HWND createJobListControl(HWND parent, int id, HINSTANCE instance);

// The seven left-aligned columns with the titles of list index 0 or 1.
bool addJobColumns(HWND list, int listIndex, const int32_t widths[kColumnCount]);

// The columns' current widths, for the environment file at close.
void readColumnWidths(HWND list, int32_t widths[kColumnCount]);

// Icons 114, 115, 113 as images 0, 1, 2: 16 x 16, 4-bit colour with mask.
// The caller makes it the small image list of both lists and destroys it at
// close. Null when it cannot be made.
HIMAGELIST createStateImageList(HINSTANCE instance);

// What an LVN_ITEMCHANGED notification says about its row.
RowChange rowChangeOf(const NMLISTVIEW& change);

}  // namespace vlx
