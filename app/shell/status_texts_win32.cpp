#include "app/shell/status_texts_win32.h"

#include <commctrl.h>

namespace vlx {

void Win32StatusBar::setPartText(int part, const char* text) {
  if (!bar_ || part < 0 || part > kStatusCounts) return;
  const WPARAM border = part <= kStatusActivity ? SBT_NOBORDERS : 0;
  SendMessageA(bar_, SB_SETTEXTA, static_cast<WPARAM>(part) | border, reinterpret_cast<LPARAM>(text ? text : ""));
}

bool setStatusParts(HWND bar) {
  int edges[4];
  for (int i = 0; i < 4; ++i) edges[i] = kStatusPartEdges[i];
  return bar && SendMessageA(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges)) != 0;
}

}  // namespace vlx
