// The start-up values of AppState, before the environment file is read.
#pragma once

#include "app/shell/app_state.h"
#include "app/shell/variant.h"

namespace vlx {

constexpr int32_t kDefaultHoldJobs = 20;
// A file that ends before its job does is given this long (seconds) to be
// written on before it is set aside: copies, FTP and share uploads pause
// between pieces.
constexpr int32_t kDefaultSettleWait = 60;
constexpr int32_t kDefaultColumnWidths[kColumnCount] = {120, 150, 60, 115, 60, 120, 150};
constexpr int32_t kIntentNeverConfigured = -1;

// Clears the whole record (paths empty, no windows, lists or buffers) and
// sets every setting to its default; auto-print follows the variant.
void setDefaults(AppState* state, const Variant& variant);

}  // namespace vlx
