// A list view in memory: rows of seven texts, an image and the selected and
// focused marks, changed through the JobListView calls as the report-style
// control changes them (a row past the end is appended, one row has the
// focus). The job, view, dialog and shell tests all use this one.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "app/jobs/job_list_view_port.h"
#include "app/shell/app_state.h"

namespace vlx {

struct FakeRow {
  std::string texts[kColumnCount];
  int image = -1;
  bool selected = false;
  bool focused = false;
};

class FakeJobListView : public JobListView {
 public:
  int nextSelected(int after) const override {
    for (int row = after < 0 ? 0 : after + 1; row < rowCount(); ++row) {
      if (rows[static_cast<std::size_t>(row)].selected) return row;
    }
    return -1;
  }
  int rowCount() const override { return static_cast<int>(rows.size()); }
  void deleteAllRows() override { rows.clear(); }
  void insertRow(int row, const char* title, int image) override {
    if (row < 0) return;
    ++inserts;
    FakeRow added;
    added.texts[0] = title ? title : "";
    added.image = image;
    if (row > rowCount()) row = rowCount();
    rows.insert(rows.begin() + row, added);
  }
  void setCell(int row, int column, const char* text) override {
    if (valid(row) && column >= 0 && column < kColumnCount)
      rows[static_cast<std::size_t>(row)].texts[column] = text ? text : "";
  }
  void setImage(int row, int image) override {
    if (valid(row)) rows[static_cast<std::size_t>(row)].image = image;
  }
  void setSelectedFocused(int row) override {
    if (!valid(row)) return;
    for (FakeRow& r : rows) r.focused = false;
    rows[static_cast<std::size_t>(row)].selected = rows[static_cast<std::size_t>(row)].focused = true;
  }

  // Test set-up: n empty rows, and the rows to mark selected.
  void resize(int n) { rows.assign(static_cast<std::size_t>(n), FakeRow{}); }
  void select(std::initializer_list<int> selectedRows) {
    for (FakeRow& r : rows) r.selected = false;
    for (int row : selectedRows)
      if (valid(row)) rows[static_cast<std::size_t>(row)].selected = true;
  }

  std::vector<FakeRow> rows;
  int inserts = 0;

 private:
  bool valid(int row) const { return row >= 0 && row < rowCount(); }
};

}  // namespace vlx
