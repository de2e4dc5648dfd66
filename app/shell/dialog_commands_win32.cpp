// The main window's dialog commands: environment settings, job properties,
// soft proof, version and device settings.
#include <string>

#include "app/dialogs/dialogs_win32.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/job_selection.h"
#include "app/resources/resource.h"
#include "app/shell/main_window_parts_win32.h"
#include "app/shell/soft_proof_window_win32.h"
#include "platform/path.h"

namespace vlx {
namespace {

// The selected job's soft proof, in a window of its own: the queue goes on.
void openSelectedJobProof(MainWindowParts* parts, int listIndex) {
  std::string path;
  {
    JobListLock lock;
    if (const JobRecord* job = firstSelectedJob(parts->context->state, listIndex)) path = job->path;
  }
  if (path.empty()) return;
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parts->window, GWLP_HINSTANCE));
  openSoftProof(instance, platform::fileNamePart(path.c_str()), dryRunOfJobFile(path));
}

}  // namespace

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
    case IDM_SOFT_PROOF:
      openSelectedJobProof(parts, listIndex);
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
