#include "app/shell/preview_buffer.h"

#include "Base.h"

namespace vlx {

bool createPreviewBuffer(AppState* state) {
  if (state == nullptr) return false;
  auto* pixels = static_cast<jCOLOR*>(jMemAlloc(kPreviewPixels * sizeof(jCOLOR)));
  state->previewBuffer = pixels;
  if (pixels == nullptr) return false;
  for (int i = 0; i < kPreviewPixels; ++i) pixels[i] = kPreviewBackground;
  return true;
}

void freePreviewBuffer(AppState* state) {
  if (state == nullptr || state->previewBuffer == nullptr) return;
  jMemFree(state->previewBuffer);
  state->previewBuffer = nullptr;
}

}  // namespace vlx
