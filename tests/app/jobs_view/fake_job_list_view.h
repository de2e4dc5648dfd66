// A list view in memory: rows of seven texts, an image and the selected and
// focused marks, changed only through the JobListView calls.
#pragma once

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
    for (int row = after + 1; row < static_cast<int>(rows.size()); ++row) {
      if (rows[row].selected) return row;
    }
    return -1;
  }
  int rowCount() const override { return static_cast<int>(rows.size()); }
  void deleteAllRows() override { rows.clear(); }
  void insertRow(int row, const char* title, int image) override {
    ++inserts;
    FakeRow added;
    added.texts[0] = title;
    added.image = image;
    if (row > rowCount()) row = rowCount();  // like the control: past the end appends
    rows.insert(rows.begin() + row, added);
  }
  void setCell(int row, int column, const char* text) override {
    if (row < rowCount() && column >= 0 && column < kColumnCount) rows[row].texts[column] = text;
  }
  void setImage(int row, int image) override {
    if (row < rowCount()) rows[row].image = image;
  }
  void setSelectedFocused(int row) override {
    if (row >= rowCount()) return;
    for (FakeRow& r : rows) r.focused = false;
    rows[row].selected = rows[row].focused = true;
  }

  std::vector<FakeRow> rows;
  int inserts = 0;
};

}  // namespace vlx
