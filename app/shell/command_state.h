// Which job commands the main window offers for the selection of a list:
// the enabled state of the menu and toolbar commands, the preview check
// mark, and the context menus of both lists as tables. The window implements
// CommandStatePort over its menu and toolbar.
#pragma once

#include <span>

#include "app/shell/app_state.h"

namespace vlx {

// Commands that act on selected jobs; enabled only while a row is selected.
extern const int kSelectionCommands[8];

class CommandStatePort {
 public:
  virtual ~CommandStatePort() = default;
  // Menu: grayed when disabled; toolbar: indeterminate when disabled.
  virtual void enableCommand(int command, bool enabled) = 0;
  virtual void checkCommand(int command, bool checked) = 0;
};

// 0 <= selection < count: a selected row that still has its job.
bool selectionCommandsEnabled(int selection, int jobCount);

// Whether a command may act on a list with this selection: a selection
// command only while it is enabled, so a disabled one does nothing however
// it arrives (a posted key, a queued click). The properties command is let
// through: without a job its dialog says that nothing is selected.
bool commandAllowed(int command, int selection, int jobCount);

// Brings every selection command and the preview check mark up to date;
// selection is the list's first selected row (-1 for none).
void updateCommandStates(CommandStatePort* port, int selection, int jobCount, int previewFlag);

// The same for a list of the application: its view's first selected row and
// its number of jobs, and the preview flag.
void updateCommandStates(CommandStatePort* port, AppState* state, int listIndex);

// One item of a context menu; a separator has no text and command 0.
struct ContextMenuItem {
  const char* text;
  int command;
  bool needsSelection;  // disabled when the list has no selected row
};

inline bool isSeparator(const ContextMenuItem& item) {
  return item.text == nullptr;
}

// The context menu of list 0 (print list) or 1 (printed list); empty for any
// other index.
std::span<const ContextMenuItem> contextMenuOf(int listIndex);

bool contextItemEnabled(const ContextMenuItem& item, bool listHasSelection);

// The command a chosen context-menu item posts: the command number with the
// list index in the high 16 bits.
unsigned long contextCommandParam(int command, int listIndex);

}  // namespace vlx
