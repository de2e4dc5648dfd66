// The main window's commands (menu, toolbar, context menus, keyboard), its
// refresh timer and the notifications of the toolbar and both lists.
#include <windows.h>

#include <commctrl.h>

#include "app/jobs/job_list.h"
#include "app/jobs/job_list_view.h"
#include "app/jobs/job_lock.h"
#include "app/jobs/job_operations.h"
#include "app/resources/resource.h"
#include "app/shell/ink_warning.h"
#include "app/shell/main_window_parts_win32.h"
#include "app/shell/preview_ink_tip.h"
#include "app/shell/print_requests.h"
#include "app/shell/print_worker.h"

namespace vlx {
namespace {

constexpr char kSwitchedToManual[] = "手動実行ﾓｰﾄﾞに変更されました。";
constexpr char kAskDelete[] = "ジョブを削除します。いいですか？    ";
constexpr char kAskDeleteAll[] = "すべてのｼﾞｮﾌﾞを削除します。いいですか？    ";

struct ToolTip {
  int command;
  const char* text;
};

constexpr ToolTip kToolTips[] = {
    {IDM_PRINT_CANCEL, "印刷中止"}, {IDM_PRINT, "印刷"},          {IDM_DELETE, "削除"},
    {IDM_DELETE_ALL, "すべて削除"}, {IDM_VERSION, "ﾊﾞｰｼﾞｮﾝ情報"}, {IDM_PROPERTIES, "ﾌﾟﾛﾊﾟﾃｨ"},
    {IDM_ENVIRONMENT, "環境設定"},
};

AppState* stateOf(MainWindowParts* parts) {
  return parts->context->state;
}

int validList(int listIndex) {
  return listIndex == kPrintedList ? kPrintedList : kPrintList;
}

void afterRemoval(MainWindowParts* parts, int listIndex, const Refusal& refusal) {
  if (refusal.text) messageBox(parts, refusal.text, MB_OK | (refusal.error ? MB_ICONERROR : MB_ICONWARNING));
  refreshStatusPart(parts, kStatusCounts);
  refreshCommandStates(parts);
  showPreview(parts, listIndex);
  repaintAll(parts);
}

void print(MainWindowParts* parts) {
  char question[512];
  inkQuestionForRequest(stateOf(parts), question, sizeof question);
  if (question[0] && messageBox(parts, question, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return;
  if (!requestPrint(stateOf(parts), RequestScope::Selected).acted) requestPrint(stateOf(parts), RequestScope::All);
  startPrinting(parts);  // now, not at the next refresh
}

// Cancel and leave auto-print; with selectedFirst only the selected jobs,
// unless none is selected.
void cancelAndLeaveAutoPrint(MainWindowParts* parts, bool selectedFirst) {
  AppState* state = stateOf(parts);
  const int wasAutoPrint = state->autoPrint;
  state->autoPrint = 0;
  RequestResult result{};
  if (selectedFirst) result = cancelPrint(state, RequestScope::Selected);
  if (!result.acted) {
    const RequestResult all = cancelPrint(state, RequestScope::All);
    result.stopWorker = result.stopWorker || all.stopWorker;
  }
  if (result.stopWorker) stopPrintWorker();
  if (wasAutoPrint) {
    messageBox(parts, kSwitchedToManual, MB_OK | MB_ICONINFORMATION);
    refreshStatusPart(parts, kStatusMode);
  }
  refreshCommandStates(parts);
}

void removeAfterAsking(MainWindowParts* parts, int listIndex, bool all) {
  if (messageBox(parts, all ? kAskDeleteAll : kAskDelete, MB_YESNO | MB_ICONWARNING) != IDYES) return;
  const Refusal refusal = all ? deleteAllJobs(stateOf(parts), listIndex) : deleteJobs(stateOf(parts), listIndex);
  afterRemoval(parts, listIndex, refusal);
}

void refresh(MainWindowParts* parts) {
  refreshJobs(parts, false);
  refreshCommandStates(parts);
}

void onItemChanged(MainWindowParts* parts, int listIndex, const NMLISTVIEW& change) {
  AppState* state = stateOf(parts);
  bool focused = false;
  {
    JobListLock lock;
    focused = mirrorRowChange(state, listIndex, rowChangeOf(change));
  }
  if (focused) {
    showPreview(parts, listIndex);
    repaintAll(parts);
  }
  refreshCommandStates(parts);
}

void showContextMenu(MainWindowParts* parts, int listIndex) {
  const bool selected = firstSelectedRow(stateOf(parts)->viewPorts[listIndex]) >= 0;
  HMENU menu = buildContextMenu(listIndex, selected);
  if (!menu) return;
  POINT at{};
  GetCursorPos(&at);
  const int command = static_cast<int>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, parts->window, nullptr));
  DestroyMenu(menu);
  if (command > 0) PostMessageA(parts->window, WM_COMMAND, contextCommandParam(command, listIndex), 0);
}

LRESULT onToolTip(NMTTDISPINFOA* info) {
  for (const ToolTip& tip : kToolTips) {
    if (static_cast<UINT_PTR>(tip.command) != info->hdr.idFrom) continue;
    info->hinst = nullptr;
    info->lpszText = const_cast<LPSTR>(tip.text);
  }
  return 0;
}

}  // namespace

int messageBox(MainWindowParts* parts, const char* text, UINT type) {
  return MessageBoxA(parts->window, text, parts->context->caption, type);
}

void refreshCommandStates(MainWindowParts* parts) {
  Win32CommandState port(GetMenu(parts->window), parts->toolbar);
  JobListLock lock;
  updateCommandStates(&port, stateOf(parts), kPrintList);
}

void refreshStatusPart(MainWindowParts* parts, int part, const char* text) {
  StatusFacts facts{};
  {
    JobListLock lock;
    facts = statusFactsOf(*stateOf(parts), parts->animation != kAnimationStopped);
  }
  facts.inkNotice = parts->inkNotice;
  updateStatusPart(&parts->statusBar, part, text, facts);
}

void onRefreshTimer(MainWindowParts* parts) {
  if (stateOf(parts)->autoPrint == 1) requestAutoPrint(stateOf(parts));
  PostMessageA(parts->window, WM_COMMAND, IDM_REFRESH, 0);
}

void onCommand(MainWindowParts* parts, int command, int listIndex) {
  AppState* state = stateOf(parts);
  const int list = validList(listIndex);
  {
    JobListLock lock;
    if (!commandAllowed(command, firstSelectedRow(state->viewPorts[list]), countJobs(listHead(state, list)))) return;
  }
  if (onDialogCommand(parts, command, list)) return;
  switch (command) {
    case IDM_CANCEL_AND_MANUAL:
      cancelAndLeaveAutoPrint(parts, false);
      break;
    case IDM_PRINT_CANCEL:
      cancelAndLeaveAutoPrint(parts, true);
      break;
    case IDM_EXIT:
      PostMessageA(parts->window, WM_CLOSE, 0, 0);
      break;
    case IDM_PRINT:
      print(parts);
      break;
    case IDM_DELETE:
      removeAfterAsking(parts, list, false);
      break;
    case IDM_DELETE_ALL:
      removeAfterAsking(parts, list, true);
      break;
    case IDM_MOVE_TOP:
      moveJobsToTop(state, list);
      refreshCommandStates(parts);
      break;
    case IDM_MOVE_BOTTOM:
      moveJobsToBottom(state, list);
      refreshCommandStates(parts);
      break;
    case IDM_MOVE_UP:
      moveJobsUp(state, list);
      refreshCommandStates(parts);
      break;
    case IDM_MOVE_DOWN:
      moveJobsDown(state, list);
      refreshCommandStates(parts);
      break;
    case IDM_PREVIEW:
      state->preview = state->preview ? 0 : 1;
      refreshCommandStates(parts);
      showPreview(parts, list);
      repaintAll(parts);
      break;
    case IDM_REFRESH:
      refresh(parts);
      break;
    case IDM_MOVE_OTHER_FOLDER:
      afterRemoval(parts, list, moveJobsToOtherFolder(state, list));
      break;
    default:
      break;
  }
}

LRESULT onNotify(MainWindowParts* parts, NMHDR* header) {
  if (!header) return 0;
  if (header->code == TTN_GETDISPINFOA) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    if (parts->preview && info->hdr.idFrom == reinterpret_cast<UINT_PTR>(parts->preview)) {
      previewInkTip(stateOf(parts), parts->previewList, parts->previewTipText, sizeof parts->previewTipText);
      info->lpszText = parts->previewTipText;
      return 0;
    }
    return onToolTip(info);
  }
  const int listIndex = listIndexOfWindow(parts, header->hwndFrom);
  if (listIndex < 0) return 0;
  switch (header->code) {
    case LVN_KEYDOWN:
      if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_DELETE) {
        PostMessageA(parts->window, WM_COMMAND, MAKEWPARAM(IDM_DELETE, listIndex), 0);
      }
      break;
    case LVN_ITEMCHANGED:
      onItemChanged(parts, listIndex, *reinterpret_cast<NMLISTVIEW*>(header));
      break;
    case NM_RCLICK:
      showContextMenu(parts, listIndex);
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace vlx
