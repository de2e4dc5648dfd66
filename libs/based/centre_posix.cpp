// No window system on the native build.
#include "BaseD.h"

int jmtSetWinCenter(jHWND) {
  return 0;
}
