// Without a window system the editor cannot be shown: nothing is accepted.
#include "Device.h"

JDEVICE_API int jColorProfileDlg(jHWND, ColorProfile*) {
  return 0;
}
