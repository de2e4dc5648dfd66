// Filled rectangles with a frame, in GDI.
#include <windows.h>

#include "Base.h"

// mode 0: frame in the frame colour, inside filled with the fill colour;
// mode 1: the frame only, the inside left as it is. Both are one pixel wide
// and cover left..right-1, top..bottom-1, like Rectangle itself.
int jRectangle(jHDC dc, int left, int top, int right, int bottom, jCOLOR frame, jCOLOR fill, int mode) {
  if (!dc) return 0;
  HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(frame));
  HBRUSH brush =
      mode == 1 ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)) : CreateSolidBrush(static_cast<COLORREF>(fill));
  if (!pen || !brush) {
    if (pen) DeleteObject(pen);
    if (brush && mode != 1) DeleteObject(brush);
    return 0;
  }
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  BOOL drawn = Rectangle(dc, left, top, right, bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  if (mode != 1) DeleteObject(brush);
  return drawn ? 1 : 0;
}
