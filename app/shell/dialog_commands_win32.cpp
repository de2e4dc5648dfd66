// The main window's dialog commands: environment settings, job properties,
// version and device settings.
#include "app/dialogs/dialogs_win32.h"
#include "app/resources/resource.h"
#include "app/shell/main_window_parts_win32.h"

namespace vlx {

bool onDialogCommand(MainWindowParts* parts, int command, int listIndex) {
  AppState* state = parts->context->state;
  switch (command) {
    case IDM_ENVIRONMENT:
      if (openEnvironmentDialog(parts->window, state) == 1) {
        refreshStatusPart(parts, kStatusMode);
        refreshCommandStates(parts);
      }
      return true;
    case IDM_PROPERTIES:
      openJobProperties(parts->window, state, listIndex);
      return true;
    case IDM_VERSION:
      openVersionDialog(parts->window, parts->context->caption, parts->context->versionText, parts->context->iconName);
      return true;
    case IDM_DEVICE_SETTINGS:
      // A variant without the menu entry has no such command, however it arrives.
      if (parts->context->variant && parts->context->variant->removesDeviceMenu) return true;
      openDeviceSettings(parts->window, state);
      return true;
    default:
      return false;
  }
}

}  // namespace vlx
