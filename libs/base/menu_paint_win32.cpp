// Measuring and painting of the owner-drawn menu items: icons through
// their masks, check marks, labels with their shortcuts.
#include <cstring>

#include "libs/base/menu_parts_win32.h"
#include "platform/path.h"

namespace menu_parts {

// Splits "Text(&P)\tCtrl+P" into the text and the shortcut part.
void splitShortcut(const char* text, char* label, std::size_t labelSize, const char** shortcut) {
  *shortcut = nullptr;
  platform::copyTruncated(label, labelSize, text);
  for (std::size_t i = 0; label[i] != '\0';) {
    if (label[i] == '\t') {
      label[i] = '\0';
      *shortcut = text + i + 1;
      return;
    }
    i += platform::isLeadByte(static_cast<unsigned char>(label[i])) && label[i + 1] ? 2 : 1;
  }
}

// Paints brush through a monochrome mask: brush colour where the mask is black.
void paintMask(HDC dc, int x, int y, int width, int height, HBITMAP mask, COLORREF color) {
  HDC maskDc = CreateCompatibleDC(dc);
  if (!maskDc) return;
  HGDIOBJ oldMask = SelectObject(maskDc, mask);
  HBRUSH brush = CreateSolidBrush(color);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  BitBlt(dc, x, y, width, height, maskDc, 0, 0, kPaintThroughMask);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
  SelectObject(maskDc, oldMask);
  DeleteDC(maskDc);
}

void drawIcon(HDC dc, int x, int y, const Icon& icon, bool grayed) {
  if (grayed) {
    // Engraved as the system draws a disabled image: its dark pixels in the
    // shadow colour over a highlight copy one pixel down and right, its
    // light pixels left out (the whole silhouette would be a grey blob).
    paintMask(dc, x + 1, y + 1, kIconSize, kIconSize, icon.shape, GetSysColor(COLOR_3DHILIGHT));
    paintMask(dc, x, y, kIconSize, kIconSize, icon.shape, GetSysColor(COLOR_3DSHADOW));
    return;
  }
  HDC source = CreateCompatibleDC(dc);
  if (!source) return;
  COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(source, icon.mask);
  BitBlt(dc, x, y, kIconSize, kIconSize, source, 0, 0, SRCAND);
  SelectObject(source, icon.color);
  BitBlt(dc, x, y, kIconSize, kIconSize, source, 0, 0, SRCPAINT);
  SelectObject(source, old);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);
  DeleteDC(source);
}

void drawCheck(HDC dc, const RECT& cell, COLORREF color) {
  const int size = GetSystemMetrics(SM_CXMENUCHECK);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  HDC maskDc = CreateCompatibleDC(dc);
  if (mask && maskDc) {
    HGDIOBJ old = SelectObject(maskDc, mask);
    RECT area{0, 0, size, size};
    DrawFrameControl(maskDc, &area, DFC_MENU, DFCS_MENUCHECK);
    SelectObject(maskDc, old);
    paintMask(dc, cell.left + (cell.right - cell.left - size) / 2, cell.top + (cell.bottom - cell.top - size) / 2, size,
              size, mask, color);
  }
  if (maskDc) DeleteDC(maskDc);
  if (mask) DeleteObject(mask);
}

void drawLabel(HDC dc, const Item& item, RECT area, UINT extraFormat) {
  char label[256];
  const char* shortcut = nullptr;
  splitShortcut(item.text, label, sizeof label, &shortcut);
  const UINT format = DT_SINGLELINE | DT_VCENTER | extraFormat;
  DrawTextA(dc, label, -1, &area, format | DT_LEFT);
  if (shortcut) {
    RECT right = area;
    right.right -= kRightMargin;
    DrawTextA(dc, shortcut, -1, &right, format | DT_RIGHT | DT_NOPREFIX);
  }
}

void deleteIcon(const Icon& icon) {
  DeleteObject(icon.color);
  DeleteObject(icon.mask);
  DeleteObject(icon.shape);
}

// Below this brightness (0..255) a pixel is drawing rather than fill.
constexpr int kDarkPixel = 160;

// A monochrome bitmap of the image's dark, opaque pixels (black; white
// elsewhere): what a disabled item keeps of its icon.
HBITMAP darkShapeOf(HBITMAP strip, int image) {
  HDC source = CreateCompatibleDC(nullptr);
  if (!source) return nullptr;
  HGDIOBJ old = SelectObject(source, strip);
  // Rows of a monochrome bitmap are padded to 16 bits; 16 pixels fill two bytes.
  unsigned char bits[kIconSize * 2];
  for (int y = 0; y < kIconSize; ++y) {
    unsigned int row = 0xFFFF;
    for (int x = 0; x < kIconSize; ++x) {
      const COLORREF pixel = GetPixel(source, image * kIconSize + x, y);
      if (pixel == CLR_INVALID || pixel == kTransparent) continue;
      const int brightness = (GetRValue(pixel) * 30 + GetGValue(pixel) * 59 + GetBValue(pixel) * 11) / 100;
      if (brightness < kDarkPixel) row &= ~(0x8000u >> x);
    }
    bits[2 * y] = static_cast<unsigned char>(row >> 8);
    bits[2 * y + 1] = static_cast<unsigned char>(row & 0xFF);
  }
  SelectObject(source, old);
  DeleteDC(source);
  return CreateBitmap(kIconSize, kIconSize, 1, 1, bits);
}

}  // namespace menu_parts
