// A list view in memory: rows with their texts, image and selection, as the
// job code sees a report-style list-view control.
#pragma once

#include <string>
#include <vector>

#include "app/jobs/job_list_view_port.h"
#include "app/shell/app_state.h"

namespace vlx {

class FakeJobListView : public JobListView {
 public:
  struct Row {
    std::string cells[kColumnCount];
    int image = 0;
    bool selected = false;
    bool focused = false;
  };

  int nextSelected(int after) const override;
  int rowCount() const override { return static_cast<int>(rows.size()); }
  void deleteAllRows() override { rows.clear(); }
  void insertRow(int row, const char* title, int image) override;
  void setCell(int row, int column, const char* text) override;
  void setImage(int row, int image) override;
  void setSelectedFocused(int row) override;

  // Test set-up: n empty rows, and the rows to mark selected.
  void resize(int n) { rows.assign(static_cast<std::size_t>(n), Row{}); }
  void select(std::initializer_list<int> selectedRows);

  std::vector<Row> rows;
  // Every nextSelected call, for tests of how the view is asked.
  mutable std::vector<int> asked;
};

}  // namespace vlx
