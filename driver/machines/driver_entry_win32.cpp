// The DLL entry point: process attach builds the machine table and the
// printing lock and registers the dialogs; a failed attach keeps the module
// from loading.
#include <windows.h>

#include "driver/ink/ink_setup.h"
#include "driver/machines/dialog_support_win32.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/machine_records.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH: {
      char path[MAX_PATH + 1];
      DWORD length = GetModuleFileNameA(instance, path, sizeof path);
      // A name that filled the buffer may have been cut: refuse it.
      if (length == 0 || length >= MAX_PATH) return FALSE;
      if (!rx3::attachDriver(path)) return FALSE;
      rx3::setPrinterSetupDialog(rx3::runPrinterSetupDialogWin32);
      rx3::setInkDialog(rx3::runInkDialogWin32);
      return TRUE;
    }
    case DLL_PROCESS_DETACH:
      rx3::detachDriver();
      return TRUE;
    default:
      return TRUE;
  }
}
