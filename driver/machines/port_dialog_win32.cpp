// "DEVICESETUPDLG": the virtual device and port of the working copy, chosen
// through the spool library's selection dialogs, and the spool settings.
// There is no cancel: the printer setup dialog's OK or Cancel decides.
#include <cstdio>

#include "SPOOL.h"
#include "driver/machines/dialog_support_win32.h"
#include "driver/machines/driver_module.h"
#include "driver/machines/machine_state.h"
#include "driver/machines/port_dialog_rules.h"
#include "driver/resources/rx3_resource.h"
#include "platform/dialog_proc_win32.h"
#include "platform/path.h"

namespace rx3 {
namespace {

DialogPlace g_place;

DeviceRecord* recordOf(HWND dialog) {
  return reinterpret_cast<DeviceRecord*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

bool spooling(const MachineState& state) {
  return state.spoolMode == 1 || state.spoolMode == 2;
}

void onInit(HWND dialog, DeviceRecord* record) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(record));
  const MachineState& state = *record->state;
  SetDlgItemTextA(dialog, IDC_PORT_DEVICE, state.deviceName);
  SetDlgItemTextA(dialog, IDC_PORT_PORT, state.portName);
  CheckDlgButton(dialog, IDC_PORT_SPOOL, spooling(state) ? BST_CHECKED : BST_UNCHECKED);
  SendDlgItemMessageA(dialog, IDC_PORT_SPOOL_LIMIT, EM_LIMITTEXT, 8, 0);
  setItemInt(dialog, IDC_PORT_SPOOL_LIMIT, state.spoolLimitMB);
  PostMessageA(dialog, WM_COMMAND, IDC_REFRESH, 0);
  placeDialog(dialog, &g_place);
}

// A limit outside 0 ... 1000 (or not a number) is refused with a message and
// the field shows the limit kept.
void onLimitLeft(HWND dialog, MachineState* state) {
  char text[16] = "";
  GetDlgItemTextA(dialog, IDC_PORT_SPOOL_LIMIT, text, sizeof text);
  int32_t limit = 0;
  if (readSpoolLimit(text, &limit)) {
    state->spoolLimitMB = limit;
  } else {
    messageBox(dialog, "ｽﾌﾟｰﾙ容量は 0 から 1000 MB までの数値で入力してください。", "ﾎﾟｰﾄ・ｽﾌﾟｰﾗ設定",
               MB_OK | MB_ICONERROR);
  }
  setItemInt(dialog, IDC_PORT_SPOOL_LIMIT, state->spoolLimitMB);
}

void onChoose(HWND dialog, MachineState* state) {
  char registry[platform::kMaxPath];
  const char* folder = driverModule().folder;
  int chosen = 0;
  if (folder[0] == '\\') {
    if (networkRegistryPath(folder, registry, sizeof registry))
      chosen = jSplGetDevicePortNetworkDlg(dialog, state->deviceName, state->portName, registry);
  } else {
    chosen = jSplGetDevicePortDlg(dialog, state->deviceName, state->portName);
  }
  if (chosen != 1) return;
  SetDlgItemTextA(dialog, IDC_PORT_DEVICE, state->deviceName);
  SetDlgItemTextA(dialog, IDC_PORT_PORT, state->portName);
}

void close(HWND dialog) {
  recordPlace(dialog, &g_place);
  EndDialog(dialog, 1);
}

void onCommand(HWND dialog, int id, int notification) {
  DeviceRecord* record = recordOf(dialog);
  if (!record) return;
  MachineState* state = record->state;
  switch (id) {
    case IDC_REFRESH:
      EnableWindow(GetDlgItem(dialog, IDC_PORT_SPOOL_LIMIT), spooling(*state));
      EnableWindow(GetDlgItem(dialog, IDC_PORT_LIMIT_UNIT), spooling(*state));
      break;
    case IDC_PORT_SPOOL:
      state->spoolMode = IsDlgButtonChecked(dialog, IDC_PORT_SPOOL) == BST_CHECKED ? 1 : 0;
      record->spoolMode = state->spoolMode;
      PostMessageA(dialog, WM_COMMAND, IDC_REFRESH, 0);
      break;
    case IDC_PORT_SPOOL_LIMIT:
      if (notification == EN_KILLFOCUS) onLimitLeft(dialog, state);
      break;
    case IDC_PORT_CHOOSE:
      onChoose(dialog, state);
      break;
    case IDOK:
    case IDCANCEL:
      close(dialog);
      break;
    default:
      break;
  }
}

constexpr auto portProc = platform::commandDialogProc<DeviceRecord, onInit, onCommand>;

}  // namespace

void runPortDialogWin32(DeviceRecord* copy, HWND parent) {
  if (!copy || !copy->state) return;
  DialogBoxParamA(pluginInstance(), "DEVICESETUPDLG", parent, portProc, reinterpret_cast<LPARAM>(copy));
}

}  // namespace rx3
