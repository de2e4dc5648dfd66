#include "app/jobs/job_list_view_win32.h"

#include "app/resources/artwork/artwork_ids.h"

namespace vlx {
namespace {

LRESULT send(HWND list, UINT message, WPARAM w, LPARAM l) {
  return list ? SendMessageA(list, message, w, l) : 0;
}

// The "A" messages take the text through a non-const pointer but only read it.
LPSTR textArgument(const char* text) {
  return const_cast<LPSTR>(text ? text : "");
}

constexpr int kStateIcons[] = {IDI_JOB_IDLE, IDI_JOB_WAITING, IDI_JOB_PRINTING};
constexpr int kSmallIcon = 16;

}  // namespace

int Win32JobListView::nextSelected(int after) const {
  return static_cast<int>(send(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(LVNI_SELECTED, 0)));
}

int Win32JobListView::rowCount() const {
  return static_cast<int>(send(list_, LVM_GETITEMCOUNT, 0, 0));
}

void Win32JobListView::deleteAllRows() {
  send(list_, LVM_DELETEALLITEMS, 0, 0);
}

void Win32JobListView::insertRow(int row, const char* title, int image) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = row;
  item.pszText = textArgument(title);
  item.iImage = image;
  send(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void Win32JobListView::setCell(int row, int column, const char* text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = textArgument(text);
  send(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void Win32JobListView::setImage(int row, int image) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iImage = image;
  send(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void Win32JobListView::setSelectedFocused(int row) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  send(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

HWND createJobListControl(HWND parent, int id, HINSTANCE instance) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS;
  HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", style, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (list) {
    const LPARAM extended = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  }
  return list;
}

bool addJobColumns(HWND list, int listIndex, const int32_t widths[kColumnCount]) {
  if (!list || listIndex < 0 || listIndex > 1) return false;
  bool ok = true;
  for (int column = 0; column < kColumnCount; ++column) {
    LVCOLUMNA entry{};
    entry.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    entry.fmt = LVCFMT_LEFT;
    entry.cx = widths[column];
    entry.pszText = textArgument(kColumnTitles[listIndex][column]);
    entry.iSubItem = column;
    ok = SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&entry)) ==
             column &&
         ok;
  }
  return ok;
}

void readColumnWidths(HWND list, int32_t widths[kColumnCount]) {
  if (!list) return;
  for (int column = 0; column < kColumnCount; ++column) {
    widths[column] = static_cast<int32_t>(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  }
}

HIMAGELIST createStateImageList(HINSTANCE instance) {
  HIMAGELIST images = ImageList_Create(kSmallIcon, kSmallIcon, ILC_COLOR4 | ILC_MASK, 3, 0);
  if (!images) return nullptr;
  for (int id : kStateIcons) {
    HICON icon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, kSmallIcon, kSmallIcon, LR_DEFAULTCOLOR));
    const int added = icon ? ImageList_AddIcon(images, icon) : -1;
    if (icon) DestroyIcon(icon);
    if (added < 0) {
      ImageList_Destroy(images);
      return nullptr;
    }
  }
  return images;
}

RowChange rowChangeOf(const NMLISTVIEW& change) {
  RowChange row{};
  row.row = change.iItem;
  row.selectionChanged = (change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED);
  row.selected = (change.uNewState & LVIS_SELECTED) != 0;
  row.focused = (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_FOCUSED);
  return row;
}

}  // namespace vlx
