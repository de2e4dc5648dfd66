// Entry point of vellox: chooses the host variant, sets the defaults and
// paths, hands over to a running instance, creates the main window and runs
// the message loop.
#include <windows.h>

#include "Base.h"
#include "SPOOL.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/print_journal.h"
#include "app/jobs/unmoved_jobs.h"
#include "app/resources/resource.h"
#include "app/shell/app_defaults.h"
#include "app/shell/crash_leftovers.h"
#include "app/shell/main_window_win32.h"
#include "app/shell/program_paths.h"
#include "app/shell/proof_scratch.h"
#include "app/shell/single_instance_win32.h"
#include "platform/module.h"
#include "platform/path.h"

namespace {

constexpr char kPathTooLong[] = "プログラムのフォルダのパスが長すぎるため、起動できません。";
constexpr int kExitPathTooLong = 1;

// The one application record and the shell's own values, for the life of
// the program.
vlx::AppState appState;
vlx::ShellContext shell;

void loadString(HINSTANCE instance, int id, char* out, int capacity) {
  if (LoadStringA(instance, static_cast<UINT>(id), out, capacity) <= 0) out[0] = '\0';
}

void chooseVariant(HINSTANCE instance) {
  loadString(instance, IDS_CAPTION_DEFAULT, shell.caption, vlx::kCaptionCapacity);
  loadString(instance, IDS_VERSION_DEFAULT, shell.versionText, vlx::kCaptionCapacity);
  shell.variant = &vlx::variantRecord(vlx::variantOf(jOemText(0)));
  loadString(instance, shell.variant->captionId, shell.caption, vlx::kCaptionCapacity);
  loadString(instance, shell.variant->versionId, shell.versionText, vlx::kCaptionCapacity);
}

bool setUpPaths() {
  char modulePath[vlx::kPathCapacity];
  char programPath[vlx::kPathCapacity];
  return platform::moduleFileName(nullptr, modulePath, sizeof modulePath) &&
         vlx::effectiveProgramPath(modulePath, platform::environmentValue(vlx::kProgramFolderVariable), programPath,
                                   sizeof programPath) &&
         vlx::buildProgramPaths(programPath, &shell.paths, &appState);
}

int runMessageLoop(HINSTANCE instance, HWND window) {
  // Named like the window class; none is shipped, so usually there is none.
  HACCEL accelerators = LoadAcceleratorsA(instance, shell.className);
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (accelerators != nullptr && TranslateAcceleratorA(window, accelerators, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  shell.state = &appState;
  chooseVariant(instance);
  vlx::setDefaults(&appState, *shell.variant);

  if (!setUpPaths()) {
    MessageBoxA(nullptr, kPathTooLong, shell.caption, MB_OK | MB_ICONSTOP);
    return kExitPathTooLong;
  }
  vlx::createWorkFolders(appState);
  // The shop's record of every print, and the printed jobs that could not
  // leave the hot folder (never auto-printed again), both beside the program.
  vlx::useJournalFile(shell.paths.printJournal);
  vlx::useUnmovedJobsFile(shell.paths.unmovedJobs);

  platform::copyString(shell.className, sizeof shell.className, shell.variant->className);
  platform::copyString(shell.iconName, sizeof shell.iconName, shell.variant->iconName);

  if (vlx::handOverToRunningInstance(shell.className, GetCommandLineA())) return 0;
  // Only the one running instance gets here: no proof of its own is open
  // yet, so every proof file there is one a crash left behind.
  vlx::sweepProofScratch(appState.printerFolder);
  // A print a crash cut short: journalled, and its job held for the operator;
  // its unfinished print file and any save the crash cut go.
  vlx::journalCutPrints();
  vlx::sweepCrashLeftovers(appState, shell.paths.deviceRegistry);

  jSplSaveDevicePort(shell.paths.deviceRegistry);

  if (!vlx::registerMainWindowClass(instance, shell)) return 0;

  vlx::initJobListLock();
  HWND window = vlx::createMainWindow(instance, &shell);
  if (window == nullptr) {
    vlx::deleteJobListLock();
    return 0;
  }
  appState.mainWindow = window;
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  const int exitCode = runMessageLoop(instance, window);
  vlx::deleteJobListLock();
  return exitCode;
}
