// The document and page exports of the plug-in. Until the raster engine is
// built they refuse every job, so a host never gets a half-written stream.
#include "PrintDriver.h"

extern "C" {

int jPrintStartDoc(jHostJobContext*) { return 0; }
int jPrintEndDoc(jHostJobContext*) { return 1; }
int jPrintStartPage(jHostJobContext*, float, float, float, float) { return 0; }
int jPrintDrawPage(jHostJobContext*, float, float, float, float) { return 0; }
int jPrintEndPage(jHostJobContext*, int) { return 0; }
}
