#include "app/shell/pending_commands.h"

namespace vlx::pending {

// Filled by the version, device-settings and job-properties dialogs.
int openVersionDialog(AppState*) {
  return 0;
}
int openDeviceSettings(AppState*) {
  return 0;
}
int openJobProperties(AppState*, int) {
  return 0;
}

// Filled by the environment settings dialog; 0 = nothing changed.
int openEnvironmentDialog(AppState*) {
  return 0;
}

}  // namespace vlx::pending
