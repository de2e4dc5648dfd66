// The real main window created in the test's own process over a state the
// test owns. Its class is registered once per class name.
#pragma once

#include <windows.h>

#include <cstring>

#include "app/shell/app_defaults.h"
#include "app/shell/main_window_win32.h"

namespace vlx {

inline HWND createTestMainWindow(AppState* state, ShellContext* context, int variant, const char* className) {
  std::memset(context, 0, sizeof *context);
  context->state = state;
  context->variant = &variantRecord(variant);
  std::strcpy(context->caption, "Vellox for Quaddle");
  std::strcpy(context->className, className);
  std::strcpy(context->iconName, "IDI_APP");
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA known{};
  known.cbSize = sizeof known;
  if (!GetClassInfoExA(instance, className, &known) && !registerMainWindowClass(instance, *context)) return nullptr;
  return createMainWindow(instance, context);
}

}  // namespace vlx
