// Runs every shot: opens its dialog, waits until it has painted, copies its
// window from the screen into <folder>/<file>.bmp and cancels it.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gallery_win32.h"

namespace gallery {
namespace {

constexpr UINT kTickMs = 100;
constexpr int kSettleTicks = 5;      // paints finished before the picture
constexpr int kPatienceTicks = 100;  // a dialog that never shows is given up

struct Run {
  const Shot* shot = nullptr;
  std::string path;
  int ticks = 0;
  int visibleTicks = 0;
  bool saved = false;
  bool closing = false;
};

Run gRun;

bool saveBitmap(const char* path, HDC source, const RECT& r) {
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!memory || !bitmap) return false;
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
  const DWORD imageSize = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + imageSize;
  bool ok = false;
  if (FILE* file = std::fopen(path, "wb")) {
    ok = std::fwrite(&header, sizeof header, 1, file) == 1 &&
         std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
         std::fwrite(bits, 1, imageSize, file) == imageSize;
    ok = std::fclose(file) == 0 && ok;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return ok;
}

struct Search {
  const char* title;
  HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  char className[16] = "";
  char title[256] = "";
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, title, sizeof title);
  if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  if (search->title && std::strcmp(title, search->title) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

HWND visibleDialog(const char* title) {
  Search search{title, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
  Run& run = gRun;
  if (!run.shot) return;
  ++run.ticks;
  if (run.closing || run.ticks > kPatienceTicks) {
    // Every dialog of the shot goes, the nested ones first.
    if (HWND any = visibleDialog(nullptr)) PostMessageA(any, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  HWND dialog = visibleDialog(run.shot->title);
  if (!dialog) return;
  if (run.visibleTicks++ == 0) {
    SetForegroundWindow(dialog);
    if (run.shot->prepare) run.shot->prepare(dialog);
    return;
  }
  if (run.visibleTicks < kSettleTicks) return;
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT rect{};
  GetWindowRect(dialog, &rect);
  HDC screen = GetDC(nullptr);
  run.saved = saveBitmap(run.path.c_str(), screen, rect);
  ReleaseDC(nullptr, screen);
  run.closing = true;
}

}  // namespace
}  // namespace gallery

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  char full[MAX_PATH] = "";
  if (!GetFullPathNameA(__argv[1], sizeof full, full, nullptr)) return 2;
  const std::string folder = full;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  int failures = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, gallery::kTickMs, gallery::tick);
  for (const gallery::Shot& shot : gallery::velloxShots(folder.c_str())) {
    gallery::gRun = gallery::Run{};
    gallery::gRun.shot = &shot;
    gallery::gRun.path = folder + "\\" + shot.file + ".bmp";
    shot.open();
    if (!gallery::gRun.saved) {
      std::fprintf(stderr, "gallery: no picture of %s\n", shot.file);
      ++failures;
    }
  }
  gallery::gRun = gallery::Run{};
  KillTimer(nullptr, timer);
  return failures == 0 ? 0 : 1;
}
