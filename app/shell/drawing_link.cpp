#include "app/shell/drawing_link.h"

#include "Draw.h"

namespace vlx {
namespace {

constexpr int32_t kLibraryVersion = 1000;

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

}  // namespace

int32_t openDrawingLibrary(jHWND mainWindow) {
  jDrawOpenParams open{};
  open.version = kLibraryVersion;
  jDrawOpen(mainWindow, &open);
  const jDrawDocParams params = documentParams(mainWindow);
  return jDrawGDBOpen(&params);
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
