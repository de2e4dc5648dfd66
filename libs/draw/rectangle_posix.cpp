// Without a windowing system there is nothing to draw into: the call is
// refused, so a caller never takes a picture for drawn.
#include "Draw.h"

JDRAW_API int jrRectangle(jHDC, int, int, int, int, jCOLOR, jCOLOR, int, int) {
  return 0;
}
