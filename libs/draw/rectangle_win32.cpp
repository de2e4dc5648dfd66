// Rectangles of the drawing library, in GDI.
#include <windows.h>

#include "Draw.h"

// colour1 is the frame, colour2 the inside. mode2 0 fills the inside, 1
// leaves it as it is; mode1 chooses the frame line and only the solid one
// (0) is drawn, any other value is refused. The rectangle covers
// left..right-1, top..bottom-1, like Rectangle itself.
JDRAW_API int jrRectangle(jHDC dc, int left, int top, int right, int bottom, jCOLOR colour1, jCOLOR colour2, int mode1,
                          int mode2) {
  if (!dc || mode1 != 0 || (mode2 != 0 && mode2 != 1)) return 0;
  HDC target = static_cast<HDC>(dc);
  HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(colour1));
  const bool filled = mode2 == 0;
  HBRUSH brush =
      filled ? CreateSolidBrush(static_cast<COLORREF>(colour2)) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  if (!pen || !brush) {
    if (pen) DeleteObject(pen);
    if (brush && filled) DeleteObject(brush);
    return 0;
  }
  HGDIOBJ oldPen = SelectObject(target, pen);
  HGDIOBJ oldBrush = SelectObject(target, brush);
  const BOOL drawn = Rectangle(target, left, top, right, bottom);
  SelectObject(target, oldBrush);
  SelectObject(target, oldPen);
  DeleteObject(pen);
  if (filled) DeleteObject(brush);
  return drawn ? 1 : 0;
}
