#include "app/shell/app_defaults.h"

#include <cstring>

namespace vlx {

void setDefaults(AppState* state, const Variant& variant) {
  if (state == nullptr) return;
  std::memset(state, 0, sizeof *state);
  state->autoPrint = variant.autoPrint;
  state->preview = 1;
  for (auto& widths : state->columnWidths) std::memcpy(widths, kDefaultColumnWidths, sizeof widths);
  state->holdJobs = kDefaultHoldJobs;
  state->intent = kIntentNeverConfigured;
  state->settleWait = kDefaultSettleWait;
}

}  // namespace vlx
