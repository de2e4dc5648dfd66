// Opens the soft proof window of a job file with the installation's
// printer folder. With a picture path it waits until the proof is made,
// saves the window as a BMP ("dots" after it: at one pixel per dot) and
// ends; without, it runs until closed.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Draw.h"
#include "app/shell/soft_proof_window_win32.h"
#include "platform/path.h"

namespace {

bool saveWindow(HWND window, const char* path) {
  RECT r{};
  GetWindowRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  BITMAPINFOHEADER head{sizeof head, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&head), DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (memory && bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD size = ((static_cast<DWORD>(width) * 3 + 3) & ~3u) * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof file + sizeof head + size), 0, 0,
                          sizeof file + sizeof head};
    if (FILE* out = std::fopen(path, "wb")) {
      ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&head, sizeof head, 1, out) == 1 &&
           std::fwrite(bits, 1, size, out) == size;
      ok = std::fclose(out) == 0 && ok;
    }
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc < 3) {
    MessageBoxA(nullptr, "vlx-proof-window <printer folder> <job file> [out.bmp [dots]]", "vlx-proof-window", MB_OK);
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  jDrawOpenParams open{1000, {}};
  if (jDrawOpen(nullptr, &open) != 1 || jPdevSetPrinterFolder(__argv[1]) != 1) return 1;
  const char* picture = __argc > 3 ? __argv[3] : nullptr;
  HWND window =
      vlx::openSoftProof(instance, platform::fileNamePart(__argv[2]), vlx::dryRunOfJobFile(__argv[2]), __argv[1]);
  int result = window ? 0 : 1;
  vlx::SoftProofFacts facts{};
  MSG message;
  while (IsWindow(window)) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (picture && vlx::softProofFacts(window, &facts) && !facts.running) {
      // A few more rounds so that every part has painted.
      for (int i = 0; i < 20; ++i, Sleep(25))
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      if (__argc > 4 && std::strcmp(__argv[4], "dots") == 0) {
        SendMessageA(window, WM_COMMAND, vlx::kProofDots, 0);
        UpdateWindow(window);
      }
      result = !facts.failed && saveWindow(window, picture) ? 0 : 1;
      DestroyWindow(window);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  jDrawClose();
  return result;
}
