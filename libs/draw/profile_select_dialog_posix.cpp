// Without a windowing system nobody can confirm a choice: the dialog
// reports that the user did not confirm, and the block stays as it was.
#include "Draw.h"

JDRAW_API int jCol2ProfileSelectDlg(jHWND, jProfileBlock*) {
  return 0;
}
