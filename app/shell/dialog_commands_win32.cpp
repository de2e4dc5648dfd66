// The main window's dialog commands: environment settings, job properties,
// soft proof, version, device settings and ink settings.
#include <string>

#include "app/dialogs/dialogs_win32.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/job_selection.h"
#include "app/resources/resource.h"
#include "app/shell/main_window_parts_win32.h"
#include "app/shell/print_worker.h"
#include "app/shell/soft_proof_window_win32.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr char kInkWhilePrinting[] = "印刷中はｲﾝｸ設定を開けません。印刷が終わってから開いてください。";

// The plug-in's ink dialog holds the printing lock while it is open: a job
// printing now would wait on it at its next page, so the dialog waits for
// the print instead, and no job starts while it is open.
void openInkSettingsWhenIdle(MainWindowParts* parts) {
  if (printWorkerRunning()) {
    messageBox(parts, kInkWhilePrinting, MB_OK | MB_ICONINFORMATION);
    return;
  }
  parts->inkDialogOpen = true;
  openInkSettings(parts->window, parts->context->state);
  parts->inkDialogOpen = false;
  startPrinting(parts);  // a job that came meanwhile starts now, not at the next tick
}

// The selected job's soft proof, in a window of its own: the queue goes on.
void openSelectedJobProof(MainWindowParts* parts, int listIndex) {
  std::string path;
  {
    JobListLock lock;
    if (const JobRecord* job = firstSelectedJob(parts->context->state, listIndex)) path = job->path;
  }
  if (path.empty()) return;
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parts->window, GWLP_HINSTANCE));
  openSoftProof(instance, platform::fileNamePart(path.c_str()), dryRunOfJobFile(path),
                parts->context->state->printerFolder);
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
    case IDM_INK_SETTINGS:
      openInkSettingsWhenIdle(parts);
      return true;
    default:
      return false;
  }
}

}  // namespace vlx
