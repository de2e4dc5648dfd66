#include "app/shell/main_layout.h"

namespace vlx {
namespace {

constexpr int kListGap = 2;         // between toolbar and upper list
constexpr int kPreviewInset = 124;  // preview panel's left from the right edge
constexpr int kPreviewWidth = 116;
constexpr int kPreviewHeight = 155;
constexpr int kSplitterHalf = kSplitterHeight / 2;
constexpr int kConfineRightMargin = 136;
constexpr int kConfineLeftMargin = 4;

// Height of the upper list at the first sizing: the saved one when a
// rectangle was saved, else an even share of the room between the bars.
int firstUpperHeight(const LayoutInput& input, int available) {
  const int32_t* saved = input.savedListRect;
  if (saved && saved[1] != saved[3]) return saved[3] - saved[1];
  return (available - 10) / 2;
}

}  // namespace

MainLayout layoutMainWindow(const LayoutInput& input, SplitLayout* split) {
  const int W = input.clientWidth;
  const int H = input.clientHeight;
  const int T = input.toolbarHeight;
  const int S = input.statusHeight;
  const int available = H - S - T;
  const int listWidth = W - kRightColumnWidth;

  int upperBottom = split->upperList.bottom;
  if (split->state == kSplitterUnsized) upperBottom = T + kListGap + firstUpperHeight(input, available);
  // The lower list always starts one bar below the upper one: the window
  // may move the upper list alone (restoring the saved rectangle), and the
  // bar between them must follow.
  const int lowerTop = upperBottom + kSplitterHeight;

  MainLayout layout{};
  layout.upperList = {0, T + kListGap, listWidth, upperBottom};
  layout.lowerList = {0, lowerTop, listWidth, H - S};
  layout.splitter = {0, upperBottom, listWidth, lowerTop};
  layout.rightPanel = {W - kRightColumnWidth, T + kListGap, W, T + kListGap + available};
  layout.previewPanel = {W - kPreviewInset, T + 1, W - kPreviewInset + kPreviewWidth, T + 1 + kPreviewHeight};

  split->upperList = layout.upperList;
  split->lowerList = layout.lowerList;
  split->splitter = layout.splitter;
  if (split->state == kSplitterUnsized) split->state = kSplitterIdle;
  return layout;
}

void dragSplitter(SplitLayout* split, int y) {
  split->upperList.bottom = y - kSplitterHalf;
  split->splitter.top = y - kSplitterHalf;
  split->splitter.bottom = y + kSplitterHalf;
  split->lowerList.top = y + kSplitterHalf;
}

bool insideSplitter(const SplitLayout& split, int x, int y) {
  const Rect& r = split.splitter;
  return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

Rect dragConfinement(const Rect& windowOnScreen, int toolbarBottom, int statusTop) {
  return {windowOnScreen.left + kConfineLeftMargin, toolbarBottom + 1, windowOnScreen.right - kConfineRightMargin,
          statusTop};
}

Rect progressBarRect(const Rect& part0) {
  const int left = part0.left + 3;
  const int top = part0.top + 2;
  return {left, top, left + widthOf(part0) - 5, top + heightOf(part0) - 5};
}

Rect fitIntoArea(const Rect& window, const Rect& area) {
  const int width = widthOf(window) < widthOf(area) ? widthOf(window) : widthOf(area);
  const int height = heightOf(window) < heightOf(area) ? heightOf(window) : heightOf(area);
  int left = window.left;
  int top = window.top;
  if (left + width > area.right) left = area.right - width;
  if (top + height > area.bottom) top = area.bottom - height;
  if (left < area.left) left = area.left;
  if (top < area.top) top = area.top;
  return {left, top, left + width, top + height};
}

}  // namespace vlx
