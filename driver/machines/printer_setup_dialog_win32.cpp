// "PRINTERSETUPDLG": paper, resolution, ink set, margins, direction and cut
// of one machine, over the working copy that jPrintSetupMachine hands over.
// The paper list itself is changed and saved at once (see the rules file).
#include <cstring>

#include "Device.h"
#include "driver/machines/dialog_support_win32.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/machine_state.h"
#include "driver/machines/printer_setup_dialog_rules.h"
#include "driver/resources/rx3_resource.h"
#include "platform/dialog_proc_win32.h"

namespace rx3 {
namespace {

DialogPlace g_place;

struct SetupDialog {
  DeviceRecord* record;
  MachineState* state;
  MachineInfo* row;
  const char* folder;
};

struct ChangeMessage {
  PaperChange change;
  const char* text;
  const char* caption;
  UINT icon;
};

// The message of each refused paper-list change, by the command refused.
constexpr ChangeMessage kEditMessages[] = {
    {PaperChange::kBuiltIn, "このﾌﾟﾛﾌｧｲﾙは変更できません。\nﾌﾟﾛﾌｧｲﾙの追加作成をしてから編集してください。",
     "ﾌﾟﾛﾌｧｲﾙの編集", MB_ICONINFORMATION},
    {PaperChange::kSaveFailed, "用紙ﾌﾟﾛﾌｧｲﾙを保存できませんでした。\n用紙の一覧は変更されていません。", "ﾌﾟﾛﾌｧｲﾙの編集",
     MB_ICONERROR},
};
constexpr ChangeMessage kAddMessages[] = {
    {PaperChange::kFull, "これ以上、用紙を追加できません。", "用紙の追加ｴﾗｰ", MB_ICONERROR},
    {PaperChange::kSaveFailed, "用紙ﾌﾟﾛﾌｧｲﾙを保存できませんでした。\n用紙は追加されていません。", "用紙の追加ｴﾗｰ",
     MB_ICONERROR},
};
constexpr ChangeMessage kDeleteMessages[] = {
    {PaperChange::kBuiltIn, "この用紙を削除することはできません。", "用紙の削除", MB_ICONINFORMATION},
    {PaperChange::kLast, "すべての用紙を削除することはできません。", "用紙の削除ｴﾗｰ", MB_ICONERROR},
    {PaperChange::kSaveFailed, "用紙ﾌﾟﾛﾌｧｲﾙを保存できませんでした。\n用紙は削除されていません。", "用紙の削除ｴﾗｰ",
     MB_ICONERROR},
};

template <std::size_t N>
bool reportRefusal(HWND dialog, PaperChange change, const ChangeMessage (&messages)[N]) {
  if (change == PaperChange::kDone) return false;
  for (const ChangeMessage& m : messages)
    if (m.change == change) messageBox(dialog, m.text, m.caption, MB_OK | m.icon);
  return true;
}

SetupDialog* dialogOf(HWND dialog) {
  return reinterpret_cast<SetupDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

int selection(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

void fillList(HWND dialog, int id, const char* const* texts, int count, int selected) {
  SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < count; ++i) SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i]));
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void postCommand(HWND dialog, int id, int notification = 0) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
               reinterpret_cast<LPARAM>(notification ? GetDlgItem(dialog, id) : nullptr));
}

void initCheck(HWND dialog, int id, int32_t value, bool hideWhenAbsent) {
  HWND box = GetDlgItem(dialog, id);
  EnableWindow(box, value != -1);
  if (hideWhenAbsent && value == -1) ShowWindow(box, SW_HIDE);
  CheckDlgButton(dialog, id, value == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void refillPapers(HWND dialog, const SetupDialog& d) {
  SendDlgItemMessageA(dialog, IDC_SETUP_PAPER, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < d.row->profileCount; ++i) {
    char text[80];
    paperText(d.row->profiles[i], text, sizeof text);
    SendDlgItemMessageA(dialog, IDC_SETUP_PAPER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  SendDlgItemMessageA(dialog, IDC_SETUP_PAPER, CB_SETCURSEL, static_cast<WPARAM>(d.state->profileIndex), 0);
}

void reloadForInkSet(SetupDialog& d) {
  reloadPapers(d.row, d.folder, d.state->inkSet);
  d.state->profile = d.row->profiles[0];
}

void onInit(HWND dialog, SetupDialog* d) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
  SetDlgItemTextA(dialog, IDC_SETUP_NAME, d->record->displayName);
  SetDlgItemTextA(dialog, IDC_SETUP_PORT_NAME, d->state->portName);

  SendDlgItemMessageA(dialog, IDC_SETUP_RESOLUTION, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < resolutionCount(*d->row); ++i) {
    char text[32];
    resolutionText(*d->row, i, text, sizeof text);
    SendDlgItemMessageA(dialog, IDC_SETUP_RESOLUTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  int resolution = resolutionIndexOf(*d->row, d->record->xResolution, d->record->yResolution);
  SendDlgItemMessageA(dialog, IDC_SETUP_RESOLUTION, CB_SETCURSEL, static_cast<WPARAM>(resolution), 0);

  fillList(dialog, IDC_SETUP_INK_SET, kInkSetTexts, kInkSetChoices, d->state->inkSet);
  fillList(dialog, IDC_SETUP_MARGIN, kMarginTexts, kMarginChoices, d->state->marginMode);
  postCommand(dialog, IDC_UPDATE_ENABLING);
  initCheck(dialog, IDC_SETUP_BIDIRECTIONAL, d->state->bidirectional, false);
  initCheck(dialog, IDC_SETUP_PAPER_CUT, d->state->paperCut, true);

  reloadPapers(d->row, d->folder, d->state->inkSet);
  if (d->state->profileIndex >= 0 && d->state->profileIndex < d->row->profileCount)
    d->state->profile = d->row->profiles[d->state->profileIndex];
  SendMessageA(dialog, WM_COMMAND, IDC_REFRESH, 0);
  postCommand(dialog, IDC_SETUP_PAPER, CBN_SELCHANGE);
  placeDialog(dialog, &g_place);
}

void onPaperSelected(HWND dialog, SetupDialog& d) {
  int resolution = -1;
  if (selectPaper(*d.row, d.state, d.folder, selection(dialog, IDC_SETUP_PAPER), &resolution) && resolution >= 0)
    SendDlgItemMessageA(dialog, IDC_SETUP_RESOLUTION, CB_SETCURSEL, static_cast<WPARAM>(resolution), 0);
}

void onEditPaper(HWND dialog, SetupDialog& d) {
  ColorProfile working = d.state->profile;
  if (reportRefusal(dialog, canEditPaper(*d.state), kEditMessages)) return;
  if (jColorProfileDlg(dialog, &working) != 1) return;
  reportRefusal(dialog, commitPaper(d.row, d.state, d.folder, working, false), kEditMessages);
  postCommand(dialog, IDC_REFRESH);
}

void onAddPaper(HWND dialog, SetupDialog& d) {
  if (reportRefusal(dialog, canAddPaper(*d.row), kAddMessages)) return;
  ColorProfile working = additionTemplate(*d.state);
  if (jColorProfileDlg(dialog, &working) != 1) return;
  reportRefusal(dialog, commitPaper(d.row, d.state, d.folder, working, true), kAddMessages);
  postCommand(dialog, IDC_REFRESH);
}

void onDeletePaper(HWND dialog, SetupDialog& d) {
  if (reportRefusal(dialog, canDeletePaper(*d.row, *d.state), kDeleteMessages)) return;
  if (messageBox(dialog, "用紙を削除します。よろしいですか？", "用紙の削除", MB_YESNO | MB_ICONERROR) != IDYES) return;
  reportRefusal(dialog, deletePaper(d.row, d.state, d.folder), kDeleteMessages);
  postCommand(dialog, IDC_REFRESH);
}

void onOk(HWND dialog, SetupDialog& d) {
  int resolution = selection(dialog, IDC_SETUP_RESOLUTION);
  if (resolution >= 0 && resolution < resolutionCount(*d.row)) {
    d.state->xResolution = d.record->xResolution = d.row->resolutions[resolution].x;
    d.state->yResolution = d.record->yResolution = d.row->resolutions[resolution].y;
  }
  if (d.state->bidirectional != -1)
    d.state->bidirectional = IsDlgButtonChecked(dialog, IDC_SETUP_BIDIRECTIONAL) == BST_CHECKED ? 1 : 0;
  if (d.state->paperCut != -1)
    d.state->paperCut = IsDlgButtonChecked(dialog, IDC_SETUP_PAPER_CUT) == BST_CHECKED ? 1 : 0;
  recordPlace(dialog, &g_place);
  EndDialog(dialog, 1);
}

void onCommand(HWND dialog, int id, int notification) {
  SetupDialog* d = dialogOf(dialog);
  if (!d) return;
  bool selected = notification == CBN_SELCHANGE;
  switch (id) {
    case IDOK:
      onOk(dialog, *d);
      break;
    case IDCANCEL:
      recordPlace(dialog, &g_place);
      EndDialog(dialog, 0);
      break;
    case IDC_REFRESH:
      refillPapers(dialog, *d);
      break;
    case IDC_UPDATE_ENABLING:
      if (d->state->paperCut != -1) EnableWindow(GetDlgItem(dialog, IDC_SETUP_PAPER_CUT), d->state->marginMode < 2);
      break;
    case IDC_SETUP_PAPER:
      if (selected) onPaperSelected(dialog, *d);
      break;
    case IDC_SETUP_INK_SET:
      if (selected && selection(dialog, IDC_SETUP_INK_SET) >= 0) {
        d->state->inkSet = selection(dialog, IDC_SETUP_INK_SET);
        reloadForInkSet(*d);
        d->state->profileIndex = 0;
        SendMessageA(dialog, WM_COMMAND, IDC_REFRESH, 0);
        postCommand(dialog, IDC_SETUP_PAPER, CBN_SELCHANGE);
      }
      break;
    case IDC_SETUP_MARGIN:
      if (selected && selection(dialog, IDC_SETUP_MARGIN) >= 0) {
        d->state->marginMode = selection(dialog, IDC_SETUP_MARGIN);
        postCommand(dialog, IDC_UPDATE_ENABLING);
      }
      break;
    case IDC_SETUP_EDIT_PAPER:
      onEditPaper(dialog, *d);
      break;
    case IDC_SETUP_ADD_PAPER:
      onAddPaper(dialog, *d);
      break;
    case IDC_SETUP_DELETE_PAPER:
      onDeletePaper(dialog, *d);
      break;
    case IDC_SETUP_PORT_BUTTON:
      runPortDialogWin32(d->record, dialog);
      SetDlgItemTextA(dialog, IDC_SETUP_PORT_NAME, d->state->portName);
      break;
    default:
      break;
  }
}

constexpr auto setupProc = platform::commandDialogProc<SetupDialog, onInit, onCommand>;

}  // namespace

int runPrinterSetupDialogWin32(DeviceRecord* copy, jHWND parent) {
  if (!copy || !copy->state) return 0;
  MachineInfo* row = machineRowForUpdate(copy->machineIndex);
  if (!row) return 0;
  SetupDialog d{copy, copy->state, row, driverModule().folder};
  INT_PTR result =
      DialogBoxParamA(pluginInstance(), "PRINTERSETUPDLG", parent, setupProc, reinterpret_cast<LPARAM>(&d));
  return result == 1 ? 1 : 0;
}

}  // namespace rx3
