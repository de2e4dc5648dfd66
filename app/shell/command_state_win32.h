// The command states over the main window's menu and toolbar, and the
// context menus of the job lists built from their tables.
#pragma once

#include <windows.h>

#include "app/shell/command_state.h"

namespace vlx {

// Menu items are grayed when disabled; toolbar buttons are made
// indeterminate. Either handle may be null (then only the other changes).
class Win32CommandState final : public CommandStatePort {
 public:
  Win32CommandState(HMENU menu, HWND toolbar) : menu_(menu), toolbar_(toolbar) {}
  void enableCommand(int command, bool enabled) override;
  void checkCommand(int command, bool checked) override;

 private:
  HMENU menu_;
  HWND toolbar_;
};

// A popup menu with the items of the list's context menu, disabled by the
// table's rule. The caller destroys it. Null on failure.
HMENU buildContextMenu(int listIndex, bool listHasSelection);

}  // namespace vlx
