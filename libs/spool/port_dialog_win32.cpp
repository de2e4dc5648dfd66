// The device and port selection dialog of the spool library. It lists the
// virtual devices of the device registry and lets the user give the chosen
// one its port: a folder for job files, a raw TCP printer (host and port,
// 9100 by default) or an installed Windows printer (sent as RAW data). On OK
// the registry file is written with the device's new port and the caller's
// two buffers take the device and the port; Cancel changes nothing.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SPOOL.h"
#include "libs/spool/device_registry.h"
#include "libs/spool/port_dialog_choice.h"
#include "libs/spool/port_dialog_ids.h"
#include "platform/dialog_proc_win32.h"
#include "platform/module.h"
#include "platform/path.h"

namespace spool {
namespace {

constexpr const char* kCaption = "ﾎﾟｰﾄの選択";

struct Selection {
  char* device;  // 260 bytes each, the caller's buffers
  char* port;
  char registryPath[platform::kMaxPath];
  DeviceRegistry registry;
};

struct KindControl {
  int radio;
  PortKind kind;
  int fields[2];
};

constexpr KindControl kKinds[] = {
    {IDC_SPL_FILE, PortKind::kFolder, {IDC_SPL_FOLDER, 0}},
    {IDC_SPL_TCP, PortKind::kTcp, {IDC_SPL_HOST, IDC_SPL_TCP_PORT}},
    {IDC_SPL_PRINTER, PortKind::kPrinter, {IDC_SPL_PRINTERS, 0}},
};

Selection* selectionOf(HWND dialog) {
  return reinterpret_cast<Selection*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HINSTANCE libraryInstance() {
  return static_cast<HMODULE>(platform::libraryOf(reinterpret_cast<const void*>(&libraryInstance)));
}

void listInstalledPrinters(HWND combo) {
  DWORD needed = 0;
  DWORD count = 0;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  EnumPrintersA(flags, nullptr, 4, nullptr, 0, &needed, &count);
  if (needed == 0) return;
  auto* buffer = static_cast<BYTE*>(std::malloc(needed));
  if (buffer && EnumPrintersA(flags, nullptr, 4, buffer, needed, &needed, &count)) {
    const auto* printers = reinterpret_cast<const PRINTER_INFO_4A*>(buffer);
    for (DWORD i = 0; i < count; ++i)
      if (printers[i].pPrinterName)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(printers[i].pPrinterName));
  }
  std::free(buffer);
}

void enableKind(HWND dialog, PortKind kind) {
  for (const KindControl& k : kKinds) {
    CheckDlgButton(dialog, k.radio, k.kind == kind ? BST_CHECKED : BST_UNCHECKED);
    for (int id : k.fields)
      if (id) EnableWindow(GetDlgItem(dialog, id), k.kind == kind);
  }
}

PortKind checkedKind(HWND dialog) {
  for (const KindControl& k : kKinds)
    if (IsDlgButtonChecked(dialog, k.radio) == BST_CHECKED) return k.kind;
  return PortKind::kNone;
}

// Shows a device's port in the controls of its kind.
void showPort(HWND dialog, const char* port) {
  PortTarget target = readPortText(port);
  char number[8];
  std::snprintf(number, sizeof number, "%d", target.kind == PortKind::kTcp ? target.port : kRawTcpPort);
  SetDlgItemTextA(dialog, IDC_SPL_TCP_PORT, number);
  SetDlgItemTextA(dialog, IDC_SPL_FOLDER, target.kind == PortKind::kFolder ? target.folder : "");
  SetDlgItemTextA(dialog, IDC_SPL_HOST, target.kind == PortKind::kTcp ? target.host : "");
  HWND printers = GetDlgItem(dialog, IDC_SPL_PRINTERS);
  if (target.kind == PortKind::kPrinter) {
    LRESULT at = SendMessageA(printers, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(port));
    if (at == CB_ERR) at = SendMessageA(printers, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(target.printer));
    SendMessageA(printers, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
  }
  enableKind(dialog, target.kind == PortKind::kNone ? PortKind::kFolder : target.kind);
}

void onDeviceSelected(HWND dialog, const Selection& s) {
  int index = static_cast<int>(SendDlgItemMessageA(dialog, IDC_SPL_DEVICES, LB_GETCURSEL, 0, 0));
  if (index < 0 || index >= s.registry.count) return;
  const RegistryDevice& device = s.registry.devices[index];
  SetDlgItemTextA(dialog, IDC_SPL_MACHINE, device.machine);
  showPort(dialog, device.port);
}

void onInit(HWND dialog, Selection* s) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
  SetDlgItemTextA(dialog, IDC_SPL_REGISTRY, s->registryPath);
  listInstalledPrinters(GetDlgItem(dialog, IDC_SPL_PRINTERS));
  enableKind(dialog, PortKind::kFolder);
  const RegistryDevice* current = findDevice(s->registry, s->device);
  if (!current) current = currentDevice(s->registry);
  int selected = 0;
  for (int i = 0; i < s->registry.count; ++i) {
    SendDlgItemMessageA(dialog, IDC_SPL_DEVICES, LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(s->registry.devices[i].name));
    if (&s->registry.devices[i] == current) selected = i;
  }
  SendDlgItemMessageA(dialog, IDC_SPL_DEVICES, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  onDeviceSelected(dialog, *s);
  if (current && platform::equalNoCase(current->name, s->device) && s->port[0]) showPort(dialog, s->port);
}

bool composeFromControls(HWND dialog, char* port) {
  char first[platform::kMaxPath] = "";
  char second[16] = "";
  PortKind kind = checkedKind(dialog);
  for (const KindControl& k : kKinds) {
    if (k.kind != kind) continue;
    GetDlgItemTextA(dialog, k.fields[0], first, sizeof first);
    if (k.fields[1]) GetDlgItemTextA(dialog, k.fields[1], second, sizeof second);
  }
  return composePortText(kind, first, second, port, kRegistryText);
}

void onOk(HWND dialog, Selection& s) {
  int index = static_cast<int>(SendDlgItemMessageA(dialog, IDC_SPL_DEVICES, LB_GETCURSEL, 0, 0));
  if (index < 0 || index >= s.registry.count) {
    MessageBoxA(dialog, "仮想ﾃﾞﾊﾞｲｽを選択してください。", kCaption, MB_OK | MB_ICONERROR);
    return;
  }
  char port[kRegistryText];
  if (!composeFromControls(dialog, port)) {
    MessageBoxA(dialog,
                "出力先が正しくありません。\nﾌｫﾙﾀﾞ、ﾎｽﾄ名とﾎﾟｰﾄ番号 (1～65535)、またはﾌﾟﾘﾝﾀを指定してください。",
                kCaption, MB_OK | MB_ICONERROR);
    return;
  }
  const char* device = s.registry.devices[index].name;
  if (storeDevicePort(s.registryPath, device, port) != StoreResult::kStored) {
    MessageBoxA(dialog, "ﾃﾞﾊﾞｲｽ登録ﾌｧｲﾙを保存できませんでした。\n設定は変更されていません。", kCaption,
                MB_OK | MB_ICONERROR);
    return;
  }
  platform::copyString(s.device, kRegistryText, device);
  platform::copyString(s.port, kRegistryText, port);
  EndDialog(dialog, 1);
}

void onCommand(HWND dialog, int id, int notification) {
  Selection* s = selectionOf(dialog);
  if (!s) return;
  if (id == IDOK) {
    onOk(dialog, *s);
  } else if (id == IDCANCEL) {
    EndDialog(dialog, 0);
  } else if (id == IDC_SPL_DEVICES && notification == LBN_SELCHANGE) {
    onDeviceSelected(dialog, *s);
  } else {
    for (const KindControl& k : kKinds)
      if (k.radio == id && notification == BN_CLICKED) enableKind(dialog, k.kind);
  }
}

constexpr auto selectionProc = platform::commandDialogProc<Selection, onInit, onCommand>;

int runSelection(HWND owner, char* device, char* port, const char* givenPath) {
  if (!device || !port) return 0;
  auto* s = static_cast<Selection*>(std::calloc(1, sizeof(Selection)));
  if (!s) return 0;
  s->device = device;
  s->port = port;
  int result = 0;
  if (givenPath ? platform::copyString(s->registryPath, sizeof s->registryPath, givenPath)
                : registryPath(s->registryPath, sizeof s->registryPath)) {
    loadRegistry(s->registryPath, &s->registry);
    result = DialogBoxParamA(libraryInstance(), "J_PORTDLG", owner, selectionProc, reinterpret_cast<LPARAM>(s)) == 1;
  }
  std::free(s);
  return result;
}

}  // namespace
}  // namespace spool

JSPOOL_API int jSplGetDevicePortDlg(jHWND owner, char* device, char* port) {
  return spool::runSelection(owner, device, port, nullptr);
}

JSPOOL_API int jSplGetDevicePortNetworkDlg(jHWND owner, char* device, char* port, const char* registryPath) {
  if (!registryPath || !registryPath[0]) return 0;
  return spool::runSelection(owner, device, port, registryPath);
}
