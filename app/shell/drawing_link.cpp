#include "app/shell/drawing_link.h"

#include <cstring>

#include "Draw.h"
#include "app/shell/font_list.h"
#include "app/shell/progress_hooks.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr int32_t kLibraryVersion = 1000;
constexpr char kFileTag[] = "MRVX";
constexpr char kFormatCode[] = "MRV";
constexpr char kProductName[] = "Mervale";
constexpr char kExtension[] = ".mvx";
constexpr char kFilterTail[] = " (*.MVX)|*.mvx|";
constexpr int kFileTypeFlags = 16;

jDrawDocParams documentParams(jHWND mainWindow) {
  jDrawDocParams params{};
  params.window = mainWindow;
  params.reserved = 0;
  params.maxObjects = 100000;
  params.maxLayers = 256;
  params.loadFlags = 16;
  params.undoDepth = 3;
  params.scaleX = 1.0f;
  params.scaleY = 1.0f;
  return params;
}

void registerFileType() {
  jFileSetDRXTag(kFileTag);
  jDrxInfo info{};
  jFileGetDRXInfo(&info);
  platform::copyTruncated(info.formatCode, sizeof info.formatCode, kFormatCode);
  platform::copyTruncated(info.productName, sizeof info.productName, kProductName);
  jFileSetDRXInfo(&info);
  const int type = jFileGetFinfoNum(kFileTypeFlags, 0);
  jFileTypeInfo buffer{};
  const jFileTypeInfo* current = jFileGetFinfo(&buffer, type);
  if (!current) return;  // no such type: nothing to change
  jFileTypeInfo changed = *current;
  platform::copyTruncated(changed.extension, sizeof changed.extension, kExtension);
  char filter[sizeof changed.filter];
  std::strcpy(filter, kProductName);
  std::strcat(filter, kFilterTail);
  platform::copyTruncated(changed.filter, sizeof changed.filter, filter);
  jFileSetFinfo(type, &changed);
}

}  // namespace

int32_t openDrawingLibrary(jHWND mainWindow, const DrawingLinkSetup& setup) {
  jDrawOpenParams open{};
  open.version = kLibraryVersion;
  jDrawOpen(mainWindow, &open);
  registerFonts(setup.fontListPath, setup.fontFolder);
  const jDrawDocParams params = documentParams(mainWindow);
  const int32_t document = jDrawGDBOpen(&params);
  if (setup.registersFileType) registerFileType();
  jPdevSetPgsHook(progressHooks());
  return document;
}

void closeDrawingDocument(int32_t* document) {
  if (document == nullptr || *document == 0) return;
  jDrawGDBClose(*document);
  *document = 0;
}

void closeDrawingLibrary() {
  jDrawClose();
}

}  // namespace vlx
