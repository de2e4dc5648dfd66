// The device-settings dialog "ﾃﾞﾊﾞｲｽ設定": the machines of the printer
// folder that the host offers, sorted by name; "設定" runs the chosen
// machine's own setup through the drawing library, closing keeps the
// chosen machine's name. The same dialog, titled "ｲﾝｸ設定", opens the
// chosen machine's ink dialog instead, so that the operator can reset a
// counter after a cartridge change.
#include <windows.h>

#include <string>

#include "Base.h"
#include "app/dialogs/dialog_place_win32.h"
#include "app/dialogs/dialogs_win32.h"
#include "app/resources/resource.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr char kInkTitle[] = "ｲﾝｸ設定";

DialogPlace gPlace{};
DialogPlace gInkPlace{};

DialogPlace* placeOf(const DeviceSettingsRequest& request) {
  return request.ink ? &gInkPlace : &gPlace;
}

DeviceSettingsRequest* requestOf(HWND dialog) {
  return reinterpret_cast<DeviceSettingsRequest*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void fillMachines(HWND dialog, const DeviceSettingsRequest& request) {
  HWND list = GetDlgItem(dialog, IDC_DEV_MACHINES);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (int index : offeredMachines(request.table, jOemText(0))) {
    char name[sizeof request.table->entries[0].name + 1] = "";
    platform::copyTruncated(name, sizeof name - 1, request.table->entries[index].name);
    const LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (item >= 0) SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(item), index);
  }
  // The first item that begins with the current machine, ignoring case.
  LRESULT current = CB_ERR;
  if (request.machine[0]) {
    current = SendMessageA(list, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(request.machine));
  }
  SendMessageA(list, CB_SETCURSEL, current == CB_ERR ? 0 : static_cast<WPARAM>(current), 0);
}

// The table index of the selected item; -1 when none.
int selectedMachine(HWND dialog, const DeviceSettingsRequest& request) {
  const LRESULT item = SendDlgItemMessageA(dialog, IDC_DEV_MACHINES, CB_GETCURSEL, 0, 0);
  if (item == CB_ERR) return -1;
  const LRESULT index = SendDlgItemMessageA(dialog, IDC_DEV_MACHINES, CB_GETITEMDATA, static_cast<WPARAM>(item), 0);
  if (!request.table || index < 0 || index >= request.table->count) return -1;
  return static_cast<int>(index);
}

void setUpMachine(HWND dialog, DeviceSettingsRequest* request) {
  const int index = selectedMachine(dialog, *request);
  if (index < 0) return;
  const jMcnEntry* entry = &request->table->entries[index];
  if (request->ink)
    jPdevMcnSetupInk(request->printerFolder, entry, dialog);
  else
    jPdevMcnSetup(request->printerFolder, entry, dialog);
}

void close(HWND dialog, DeviceSettingsRequest* request) {
  const int index = selectedMachine(dialog, *request);
  request->machine[0] = '\0';
  if (index >= 0)
    platform::copyTruncated(request->machine, sizeof request->machine, request->table->entries[index].name);
  rememberPlace(dialog, placeOf(*request));
  EndDialog(dialog, 1);
}

INT_PTR CALLBACK deviceSettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    const auto* request = reinterpret_cast<DeviceSettingsRequest*>(lParam);
    if (request->ink) SetWindowTextA(dialog, kInkTitle);
    moveToRememberedPlace(dialog, *placeOf(*request));
    fillMachines(dialog, *request);
    return TRUE;
  }
  DeviceSettingsRequest* request = requestOf(dialog);
  if (!request || message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDC_DEV_SETUP:
      if (HIWORD(wParam) == BN_CLICKED) setUpMachine(dialog, request);
      return TRUE;
    case IDOK:
    case IDCANCEL:
      close(dialog, request);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int runDeviceSettingsDialog(HWND owner, DeviceSettingsRequest* request) {
  if (!request) return 0;
  DialogBoxParamA(dialogInstance(), "DEVSETDLG", owner, deviceSettingsProc, reinterpret_cast<LPARAM>(request));
  return 1;
}

namespace {

// The machine list over the printer folder's table, offering the current
// machine first; the machine chosen when it closed, empty without a table.
std::string runOverMachineTable(HWND owner, const AppState& state, bool ink, bool* shown) {
  *shown = false;
  jMcnTable* table = jPdevMcnOpen(state.printerFolder, 1);
  if (!table) return std::string();
  DeviceSettingsRequest request{};
  request.table = table;
  request.ink = ink;
  platform::copyTruncated(request.printerFolder, sizeof request.printerFolder, state.printerFolder);
  platform::copyTruncated(request.machine, sizeof request.machine, state.printerName);
  runDeviceSettingsDialog(owner, &request);
  jPdevMcnClose(table);
  *shown = true;
  return request.machine;
}

}  // namespace

int openDeviceSettings(HWND owner, AppState* state) {
  if (!state) return 1;
  bool shown = false;
  const std::string chosen = runOverMachineTable(owner, *state, false, &shown);
  if (shown) platform::copyTruncated(state->printerName, sizeof state->printerName, chosen.c_str());
  return 1;
}

// The choice here is only which account to open; PRNNAME stays.
int openInkSettings(HWND owner, AppState* state) {
  if (!state) return 1;
  bool shown = false;
  runOverMachineTable(owner, *state, true, &shown);
  return 1;
}

}  // namespace vlx
