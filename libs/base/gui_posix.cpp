// Menus and rectangles need a window system: on the native build they refuse.
#include "Base.h"

jMENU jMenuInit(jHWND) {
  return nullptr;
}
int jMenuSetIcon(jMENU, int, jHBITMAP, int) {
  return 0;
}
int jMenuDrawItem(jMENU, void*) {
  return 0;
}
int jMenuMeasureItem(jMENU, jHWND, void*) {
  return 0;
}
int jMenuEnd(jMENU) {
  return 0;
}
int jRectangle(jHDC, int, int, int, int, jCOLOR, jCOLOR, int) {
  return 0;
}
