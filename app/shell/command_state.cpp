#include "app/shell/command_state.h"

#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/resources/resource.h"

namespace vlx {
namespace {

constexpr ContextMenuItem kSeparator = {nullptr, 0, false};

constexpr ContextMenuItem kPrintListMenu[] = {
    {"印刷", IDM_PRINT, false},
    {"印刷中止", IDM_PRINT_CANCEL, false},
    kSeparator,
    {"一番上に移動", IDM_MOVE_TOP, true},
    {"１つ上に移動", IDM_MOVE_UP, true},
    {"１つ下に移動", IDM_MOVE_DOWN, true},
    {"一番下に移動", IDM_MOVE_BOTTOM, true},
    kSeparator,
    {"印刷済みﾌｫﾙﾀﾞへ移動", IDM_MOVE_OTHER_FOLDER, true},
    {"削除", IDM_DELETE, true},
    {"すべて削除", IDM_DELETE_ALL, true},
    kSeparator,
    {"ｿﾌﾄﾌﾟﾙｰﾌ", IDM_SOFT_PROOF, true},
    {"ﾌﾟﾛﾊﾟﾃｨ", IDM_PROPERTIES, true},
};

constexpr ContextMenuItem kPrintedListMenu[] = {
    {"印刷ﾌｫﾙﾀﾞへ移動", IDM_MOVE_OTHER_FOLDER, true},
    {"削除", IDM_DELETE, true},
    {"すべて削除", IDM_DELETE_ALL, true},
    kSeparator,
    {"ｿﾌﾄﾌﾟﾙｰﾌ", IDM_SOFT_PROOF, true},
    {"ﾌﾟﾛﾊﾟﾃｨ", IDM_PROPERTIES, true},
};

}  // namespace

const int kSelectionCommands[8] = {IDM_MOVE_TOP, IDM_MOVE_UP,    IDM_MOVE_DOWN,         IDM_MOVE_BOTTOM,
                                   IDM_DELETE,   IDM_DELETE_ALL, IDM_MOVE_OTHER_FOLDER, IDM_PROPERTIES};

bool selectionCommandsEnabled(int selection, int jobCount) {
  return selection >= 0 && selection < jobCount;
}

bool commandAllowed(int command, int selection, int jobCount) {
  if (command == IDM_PROPERTIES) return true;
  for (int guarded : kSelectionCommands)
    if (guarded == command) return selectionCommandsEnabled(selection, jobCount);
  return true;
}

void updateCommandStates(CommandStatePort* port, int selection, int jobCount, int previewFlag) {
  if (!port) return;
  const bool enabled = selectionCommandsEnabled(selection, jobCount);
  for (int command : kSelectionCommands) port->enableCommand(command, enabled);
  port->checkCommand(IDM_PREVIEW, previewFlag != 0);
}

void updateCommandStates(CommandStatePort* port, AppState* state, int listIndex) {
  if (!state) return;
  const bool known = listIndex == kPrintList || listIndex == kPrintedList;
  const int selection = known ? firstSelectedRow(state->viewPorts[listIndex]) : -1;
  updateCommandStates(port, selection, countJobs(listHead(state, listIndex)), state->preview);
}

std::span<const ContextMenuItem> contextMenuOf(int listIndex) {
  if (listIndex == 0) return kPrintListMenu;
  if (listIndex == 1) return kPrintedListMenu;
  return {};
}

bool contextItemEnabled(const ContextMenuItem& item, bool listHasSelection) {
  return !isSeparator(item) && (!item.needsSelection || listHasSelection);
}

unsigned long contextCommandParam(int command, int listIndex) {
  return (static_cast<unsigned long>(listIndex & 0xFFFF) << 16) | static_cast<unsigned long>(command & 0xFFFF);
}

}  // namespace vlx
