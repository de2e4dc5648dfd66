// What the job code asks of a list view. The Win32 shell implements it over
// a report-style list-view control; tests use a fake.
#pragma once

namespace vlx {

class JobListView {
 public:
  virtual ~JobListView() = default;
  // The next selected row after `after` (-1 to start); negative = none.
  virtual int nextSelected(int after) const = 0;
  virtual int rowCount() const = 0;
  virtual void deleteAllRows() = 0;
  // Inserts a row at `row` with the text of column 0 and a state image.
  virtual void insertRow(int row, const char* title, int image) = 0;
  virtual void setCell(int row, int column, const char* text) = 0;
  virtual void setImage(int row, int image) = 0;
  virtual void setSelectedFocused(int row) = 0;
};

}  // namespace vlx
