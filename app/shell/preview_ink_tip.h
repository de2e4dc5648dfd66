// The ink estimate at a glance: the tooltip of the preview panel names the
// ink the job it shows would take, without a column of the lists changing.
#pragma once

#include <cstddef>

#include "app/shell/app_state.h"

namespace vlx {

// The tip for the job the preview shows (the first selected of the list);
// empty when none is selected, so that no tip shows.
void previewInkTip(AppState* state, int listIndex, char* out, std::size_t capacity);

}  // namespace vlx
