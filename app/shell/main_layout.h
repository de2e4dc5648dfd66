// Layout arithmetic of the main window: where the two job lists, the
// splitter bar between them, the right-hand panel and the preview panel go
// for a client size, and how a splitter drag moves the split. Pure
// functions of plain values; the window moves its children to the result.
#pragma once

#include <cstdint>

namespace vlx {

// Left, top, right, bottom in pixels.
struct Rect {
  int left, top, right, bottom;
  bool operator==(const Rect&) const = default;
};

inline int widthOf(const Rect& r) {
  return r.right - r.left;
}
inline int heightOf(const Rect& r) {
  return r.bottom - r.top;
}

constexpr int kRightColumnWidth = 132;
constexpr int kSplitterHeight = 8;
constexpr int kMinTrackWidth = 250;
constexpr int kMinTrackHeight = 220;

enum SplitterState : int { kSplitterUnsized = -1, kSplitterIdle = 0, kSplitterDragging = 1 };

// What the window keeps between size messages.
struct SplitLayout {
  int state = kSplitterUnsized;
  Rect upperList{};
  Rect lowerList{};
  Rect splitter{};
};

struct LayoutInput {
  int clientWidth;
  int clientHeight;
  int toolbarHeight;
  int statusHeight;
  // LISTRC1..4 of the environment file; a rectangle of height 0 means none.
  const int32_t* savedListRect;
};

struct MainLayout {
  Rect upperList;
  Rect lowerList;
  Rect splitter;
  Rect rightPanel;
  Rect previewPanel;
};

// Lays the children out for a size message and brings split up to date: the
// first sizing places the split from the saved rectangle (or evenly), later
// sizings keep it where the splitter left it.
MainLayout layoutMainWindow(const LayoutInput& input, SplitLayout* split);

// Mouse at client height y while dragging: the split follows, the splitter
// bar centred on the cursor.
void dragSplitter(SplitLayout* split, int y);

// Hit test of the splitter bar, edges included.
bool insideSplitter(const SplitLayout& split, int x, int y);

// Screen rectangle the cursor is held in while dragging, from the window's
// screen rectangle, the toolbar's screen bottom and the status bar's screen
// top: the lists' column and the height between the two bars.
Rect dragConfinement(const Rect& windowOnScreen, int toolbarBottom, int statusTop);

// The progress bar inside status part 0's rectangle: left + 3, top + 2,
// width - 5, height - 5.
Rect progressBarRect(const Rect& part0);

// A saved window rectangle brought onto a monitor's work area: moved in
// whole when it lies partly or wholly outside, and shrunk to the area first
// when it is larger. A rectangle inside the area is returned unchanged.
Rect fitIntoArea(const Rect& window, const Rect& area);

}  // namespace vlx
