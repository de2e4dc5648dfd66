// Without a window system there is no one to choose: nothing is chosen.
#include "SPOOL.h"

JSPOOL_API int jSplGetDevicePortDlg(jHWND, char*, char*) {
  return 0;
}

JSPOOL_API int jSplGetDevicePortNetworkDlg(jHWND, char*, char*, const char*) {
  return 0;
}
