// The preview panel (the job's picture and the printer animation) and the
// owner-drawn menu items.
#include <windows.h>

#include <commctrl.h>

#include "Draw.h"
#include "app/jobs/job_operations.h"
#include "app/shell/main_window_parts_win32.h"
#include "app/shell/main_window_win32.h"

namespace vlx {
namespace {

constexpr COLORREF kPanelGrey = RGB(192, 192, 192);
constexpr int kPreviewSize = 100;
constexpr POINT kPreviewAt = {7, 45};
constexpr POINT kPaperAt = {9, 6};     // frames 0-5: the paper running through
constexpr POINT kPrinterAt = {41, 6};  // frames 6-10: the printer's lamp
constexpr int kPaperFrames = 6;
constexpr int kPrinterFrames = 5;
constexpr int kStillPrinterFrame = 6;
constexpr int kAnimationCycle = 30;

// The panel's device context clipped to the panel; the caller restores it.
int clipToPanel(HDC dc, const RECT& panel) {
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, panel.left, panel.top, panel.right, panel.bottom);
  return saved;
}

void drawFrames(MainWindowParts* parts, HDC dc, int paperFrame, int printerFrame) {
  if (!parts->animationImages) return;
  ImageList_Draw(parts->animationImages, paperFrame, dc, kPaperAt.x, kPaperAt.y, ILD_TRANSPARENT);
  ImageList_Draw(parts->animationImages, printerFrame, dc, kPrinterAt.x, kPrinterAt.y, ILD_TRANSPARENT);
}

void paintPreviewPanel(MainWindowParts* parts, HDC dc, const RECT& panel) {
  const int saved = clipToPanel(dc, panel);
  jrRectangle(dc, panel.left, panel.top, panel.right, panel.bottom, kPanelGrey, kPanelGrey, 0, 0);
  jrRectangle(dc, panel.left, panel.top, panel.right, panel.bottom, 0, 0, 0, 1);
  if (parts->previewDc) {
    BitBlt(dc, kPreviewAt.x, kPreviewAt.y, kPreviewSize, kPreviewSize, parts->previewDc, 0, 0, SRCCOPY);
  }
  if (parts->animation == kAnimationStopped) drawFrames(parts, dc, 0, kStillPrinterFrame);
  RestoreDC(dc, saved);
}

}  // namespace

void repaintAll(MainWindowParts* parts) {
  RedrawWindow(parts->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT onDrawItem(MainWindowParts* parts, DRAWITEMSTRUCT* item) {
  if (!item) return FALSE;
  if (item->CtlType == ODT_MENU) return jMenuDrawItem(parts->menus, item) ? TRUE : FALSE;
  if (item->CtlID != static_cast<UINT>(kPreviewPanelId)) return FALSE;
  paintPreviewPanel(parts, item->hDC, item->rcItem);
  return TRUE;
}

LRESULT onMeasureItem(MainWindowParts* parts, MEASUREITEMSTRUCT* item) {
  if (!item || item->CtlType != ODT_MENU) return FALSE;
  return jMenuMeasureItem(parts->menus, parts->window, item) ? TRUE : FALSE;
}

void onAnimationTick(MainWindowParts* parts) {
  parts->animation = (parts->animation + 1) % kAnimationCycle;
  if (!parts->preview) return;
  HDC dc = GetDC(parts->preview);
  if (!dc) return;
  RECT panel{};
  GetClientRect(parts->preview, &panel);
  const int saved = clipToPanel(dc, panel);
  drawFrames(parts, dc, parts->animation % kPaperFrames, parts->animation % kPrinterFrames + kStillPrinterFrame);
  RestoreDC(dc, saved);
  ReleaseDC(parts->preview, dc);
}

void showPreview(MainWindowParts* parts, int listIndex) {
  AppState* state = parts->context->state;
  parts->previewList = listIndex;
  fetchPreview(state, listIndex);
  if (!parts->previewDc || !state->previewBuffer) return;
  // The buffer is 0x00BBGGRR row after row from the top; a top-down 32-bit
  // DIB wants 0x00RRGGBB.
  static jCOLOR pixels[kPreviewPixels];
  for (int i = 0; i < kPreviewPixels; ++i) {
    const jCOLOR c = state->previewBuffer[i];
    pixels[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kPreviewSize;
  info.bmiHeader.biHeight = -kPreviewSize;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(parts->previewDc, 0, 0, kPreviewSize, kPreviewSize, 0, 0, 0, kPreviewSize, pixels, &info,
                    DIB_RGB_COLORS);
}

}  // namespace vlx
