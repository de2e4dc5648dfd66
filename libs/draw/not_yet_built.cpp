// Calls of the drawing library that are not built yet. Each answers with its
// failure value, so a caller takes its failure path rather than trusting a
// result that was never computed.
#include "Draw.h"

// Built with the drawing-file type registration.
JDRAW_API int jFileSetDRXTag(const char*) {
  return 0;
}
// Built with the drawing-file type registration.
JDRAW_API int jFileGetDRXInfo(jDrxInfo*) {
  return 0;
}
// Built with the drawing-file type registration.
JDRAW_API int jFileSetDRXInfo(const jDrxInfo*) {
  return 0;
}
// Built with the drawing-file type registration.
JDRAW_API int jFileGetFinfoNum(int, int) {
  return -1;
}
// Built with the drawing-file type registration.
JDRAW_API jFileTypeInfo* jFileGetFinfo(jFileTypeInfo*, int) {
  return nullptr;
}
// Built with the drawing-file type registration.
JDRAW_API int jFileSetFinfo(int, const jFileTypeInfo*) {
  return 0;
}
