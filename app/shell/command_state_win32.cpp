#include "app/shell/command_state_win32.h"

#include <commctrl.h>

namespace vlx {

void Win32CommandState::enableCommand(int command, bool enabled) {
  if (menu_) EnableMenuItem(menu_, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  // Only the buttons the toolbar has answer; the others ignore the message.
  // Indeterminate alone still lets a click through: the button is disabled too.
  if (toolbar_) {
    SendMessageA(toolbar_, TB_INDETERMINATE, static_cast<WPARAM>(command), MAKELPARAM(!enabled, 0));
    SendMessageA(toolbar_, TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enabled, 0));
  }
}

void Win32CommandState::checkCommand(int command, bool checked) {
  if (menu_) CheckMenuItem(menu_, static_cast<UINT>(command), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

HMENU buildContextMenu(int listIndex, bool listHasSelection) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  for (const ContextMenuItem& item : contextMenuOf(listIndex)) {
    const BOOL added =
        isSeparator(item)
            ? AppendMenuA(menu, MF_SEPARATOR, 0, nullptr)
            : AppendMenuA(menu, MF_STRING | (contextItemEnabled(item, listHasSelection) ? MF_ENABLED : MF_GRAYED),
                          static_cast<UINT_PTR>(item.command), item.text);
    if (!added) {
      DestroyMenu(menu);
      return nullptr;
    }
  }
  return menu;
}

}  // namespace vlx
