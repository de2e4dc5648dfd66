// Calls of the drawing library that are not built yet. Each answers with its
// failure value, so a caller takes its failure path rather than trusting a
// result that was never computed.
#include "Draw.h"

// Built with the job-file work.
JDRAW_API int jFileLoad(int32_t, int, int, const char*) {
  return 0;
}
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
// Built with the job-file work.
JDRAW_API jDEVICE jFileLoadDRXDevOpen(const char*) {
  return nullptr;
}
// Built with the job-file work.
JDRAW_API void* jFileLoadDRXDevSetting(const char*) {
  return nullptr;
}
// Built with the job-file work.
JDRAW_API int jFileLoadDRXTrep(const char*, void*) {
  return 0;
}
// Built with the job-file work.
JDRAW_API int jPdevGetMcnName(jDEVICE, char*) {
  return 0;
}
// Built with the job-file work (device registry lookup).
JDRAW_API int jPdevGetDevicePort(const char*, const char*, const void*, char*, char*) {
  return 0;
}
// Built with the job-file work.
JDRAW_API int jPdevGetTitle(jDEVICE, char*) {
  return 0;
}
// Built with the job-file work.
JDRAW_API int jPdevGetDevInfo(jDEVICE, char*) {
  return 0;
}
// Built with the job-file work.
JDRAW_API int jPdevGetArea(jDEVICE, jPdevArea*) {
  return 0;
}
// Built with the job-file work.
JDRAW_API int jFilePreviewGet(jCOLOR*, int, int, const char*) {
  return 0;
}
// Built with the printing work (printing-device layer).
JDRAW_API int jPdevPrint(jHWND, int32_t, jDEVICE, int, const void*) {
  return -1;
}
// Built with the printing work (printing-device layer).
JDRAW_API int jPdevPrintTile(jHWND, int32_t, jDEVICE, const void*, int, const void*) {
  return -1;
}
