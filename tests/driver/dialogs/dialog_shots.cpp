// Opens each dialog of the plug-in (and the two library dialogs behind it)
// on a sample machine and saves a picture of it as a BMP: the window's own
// pixels, copied from the screen once it has painted. Used by
// scripts/screenshot-driver-dialogs, which turns the pictures into PNGs.
// Usage: driver_dialog_shots <output folder>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Base.h"
#include "Device.h"
#include "PrintDriver.h"
#include "SPOOL.h"
#include "driver/resources/rx3_resource.h"
#include "platform/module.h"
#include "platform/scratch_folder.h"
#include "plugin_host.h"
#include "tests/support/dialog_script_win32.h"

namespace {

using dialog_test::DialogScript;

bool saveWindowPicture(HWND window, const std::string& path) {
  // Let the window settle where it belongs and paint, messages pumped.
  for (DWORD start = GetTickCount(); GetTickCount() - start < 500;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(20);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  RECT r{};
  GetWindowRect(window, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + imageBytes;
  bool ok = false;
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
         std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 && std::fwrite(bits, imageBytes, 1, out) == 1;
    ok = std::fclose(out) == 0 && ok;
  }
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

DeviceRecord g_record;
int keepRx3(DeviceRecord* record) {
  if (std::strcmp(record->displayName, "EPSON RX-3") == 0) g_record = *record;
  return 1;
}

void samplePapers(const testing_support::ScratchFolder& folder) {
  ColorProfile papers[3];
  const char* names[] = {"普通紙 (720x720)", "光沢紙 (1440x720)", "ﾏｯﾄ紙 厚手"};
  for (int i = 0; i < 3; ++i) {
    jColorProfileInit(&papers[i]);
    std::snprintf(papers[i].name, sizeof papers[i].name, "%s", names[i]);
    std::snprintf(papers[i].colorFile1, sizeof papers[i].colorFile1, "PAPER%d.ct1", i);
    std::snprintf(papers[i].colorFile2, sizeof papers[i].colorFile2, "PAPER%d.ct2", i);
    papers[i].fixed = i == 0;
    papers[i].inkLimit = 150;
  }
  jColorSaveProfiles(folder.join("RX3.cpf0").c_str(), papers, 3);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: driver_dialog_shots <output folder>\n");
    return 2;
  }
  const std::string out = argv[1];
  testing_support::ScratchFolder folder("shots");
  testing_support::writeBytes(folder.join("DEVICE.rgs"),
                              "CURRENT\tRX-3 出力\r\n"
                              "DEVICE\tRX-1 出力\tRX3.dll\tEPSON RX-1\tFILE:output\r\n"
                              "DEVICE\tRX-3 出力\tRX3.dll\tEPSON RX-3\tFILE:output\r\n"
                              "DEVICE\tRX-3 事務所\tRX3.dll\tEPSON RX-3\tprinter.example:9100\r\n");
  jSplSaveDevicePort(folder.join("DEVICE.rgs").c_str());
  samplePapers(folder);
  platform::Library plugin = platform::loadLibrary(raster_test::copyPluginInto(folder.path()).c_str());
  if (!plugin) return 1;
  auto get = [&](const char* name) { return platform::librarySymbol(plugin, name); };
  jOemSetText("");
  reinterpret_cast<jPrintEnumMachine_t>(get("jPrintEnumMachine"))(keepRx3);
  reinterpret_cast<jPrintRecord_t>(get("jPrintOpenMachine"))(&g_record);

  int saved = 0;
  auto shoot = [&](const char* name) {
    return [&, name](HWND window) { saved += saveWindowPicture(window, out + "\\" + name + ".bmp") ? 1 : 0; };
  };
  {
    DialogScript script;
    script
        .on("ﾌﾟﾘﾝﾀ設定",
            [&](HWND d) {
              shoot("printer-setup")(d);
              dialog_test::click(d, IDC_SETUP_PORT_BUTTON);
            })
        .on("ﾎﾟｰﾄ・ｽﾌﾟｰﾗ設定",
            [&](HWND p) {
              shoot("port-spool")(p);
              dialog_test::click(p, IDC_PORT_CHOOSE);
            })
        .on("ﾎﾟｰﾄの選択",
            [&](HWND s) {
              shoot("port-selection")(s);
              dialog_test::click(s, IDCANCEL);
            })
        .on("ﾎﾟｰﾄ・ｽﾌﾟｰﾗ設定", [](HWND p) { dialog_test::click(p, IDOK); })
        .on("ﾌﾟﾘﾝﾀ設定", [](HWND d) { dialog_test::click(d, IDC_SETUP_ADD_PAPER); })
        .on("用紙ﾌﾟﾛﾌｧｲﾙの編集",
            [&](HWND e) {
              shoot("profile-editor")(e);
              dialog_test::click(e, IDCANCEL);
            })
        .on("ﾌﾟﾘﾝﾀ設定", [](HWND d) { dialog_test::click(d, IDCANCEL); });
    reinterpret_cast<jPrintSetupWindow_t>(get("jPrintSetupMachine"))(&g_record, nullptr);
  }
  {
    DialogScript script;
    script.on("ｲﾝｸ使用量の設定", [&](HWND d) {
      shoot("ink-settings")(d);
      dialog_test::click(d, IDCANCEL);
    });
    reinterpret_cast<jPrintSetupWindow_t>(get("jPrintSetupInk"))(&g_record, nullptr);
  }
  reinterpret_cast<jPrintRecord_t>(get("jPrintCloseMachine"))(&g_record);
  platform::freeLibrary(plugin);
  std::printf("%d pictures\n", saved);
  return saved == 5 ? 0 : 1;
}
