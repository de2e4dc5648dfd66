#include "app/jobs/draw_calls.h"

#include <atomic>

namespace vlx {
namespace {

constexpr DrawCalls kLibrary = {
    jFileLoadDRXDevOpen, jFileLoadDRXDevSetting, jFileLoadDRXTrep, jPdevClose,    jPdevGetMcnName,
    jPdevGetDevicePort,  jFilePreviewGet,        jEditDelete,      jFileLoad,     jPdevPrint,
    jPdevPrintTile,      jPdevGetLastError,      jPdevGetInk,      jPdevGetTitle, jPdevGetArea,
    jPdevGetLastPrint,   jFileCheckDRX,
};

// Read by the print worker while a test on the window thread may swap it.
std::atomic<const DrawCalls*> g_calls{&kLibrary};

}  // namespace

const DrawCalls& drawCalls() {
  return *g_calls.load();
}

void useDrawCalls(const DrawCalls* calls) {
  g_calls.store(calls ? calls : &kLibrary);
}

const DrawCalls& libraryDrawCalls() {
  return kLibrary;
}

}  // namespace vlx
