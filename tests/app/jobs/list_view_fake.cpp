#include "list_view_fake.h"

namespace vlx {
namespace {

bool valid(const std::vector<FakeJobListView::Row>& rows, int row) {
  return row >= 0 && static_cast<std::size_t>(row) < rows.size();
}

}  // namespace

int FakeJobListView::nextSelected(int after) const {
  asked.push_back(after);
  for (int row = after < 0 ? 0 : after + 1; valid(rows, row); ++row) {
    if (rows[static_cast<std::size_t>(row)].selected) return row;
  }
  return -1;
}

void FakeJobListView::insertRow(int row, const char* title, int image) {
  if (row < 0 || static_cast<std::size_t>(row) > rows.size()) return;
  Row added;
  added.cells[0] = title ? title : "";
  added.image = image;
  rows.insert(rows.begin() + row, added);
}

void FakeJobListView::setCell(int row, int column, const char* text) {
  if (!valid(rows, row) || column < 0 || column >= kColumnCount) return;
  rows[static_cast<std::size_t>(row)].cells[column] = text ? text : "";
}

void FakeJobListView::setImage(int row, int image) {
  if (valid(rows, row)) rows[static_cast<std::size_t>(row)].image = image;
}

void FakeJobListView::setSelectedFocused(int row) {
  if (!valid(rows, row)) return;
  rows[static_cast<std::size_t>(row)].selected = true;
  rows[static_cast<std::size_t>(row)].focused = true;
}

void FakeJobListView::select(std::initializer_list<int> selectedRows) {
  for (Row& r : rows) r.selected = false;
  for (int row : selectedRows) {
    if (valid(rows, row)) rows[static_cast<std::size_t>(row)].selected = true;
  }
}

}  // namespace vlx
