// The DLL entry point: process attach builds the machine table and the
// printing lock; a failed attach keeps the module from loading.
#include <windows.h>

#include "driver/machines/driver_module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH: {
      char path[MAX_PATH + 1];
      DWORD length = GetModuleFileNameA(instance, path, sizeof path);
      // A name that filled the buffer may have been cut: refuse it.
      if (length == 0 || length >= MAX_PATH) return FALSE;
      return rx3::attachDriver(path) ? TRUE : FALSE;
    }
    case DLL_PROCESS_DETACH:
      rx3::detachDriver();
      return TRUE;
    default:
      return TRUE;
  }
}
