// The preview buffer of AppState: 100 x 100 colour values that the preview
// of the selected job is drawn from.
#pragma once

#include "app/shell/app_state.h"

namespace vlx {

// Allocates the buffer with the base library and fills it with the light-grey
// background. False when memory is exhausted (the buffer stays null).
bool createPreviewBuffer(AppState* state);
void freePreviewBuffer(AppState* state);

}  // namespace vlx
