// Owner-drawn menus with icons for a window's menu bar.
//
// jMenuInit turns every item of the bar's pop-up menus (and their sub-menus)
// into an owner-drawn item whose item data points at our copy of its text;
// the bar's own items stay as the system draws them. Icons are copied out of
// a strip of 16 x 16 images at jMenuSetIcon, with the strip's light grey
// (RGB 192, 192, 192) as the transparent colour, so the caller may delete
// the strip afterwards. jMenuEnd gives every item its text and type back.
#include <windows.h>

#include <cstring>
#include <memory>
#include <vector>

#include "Base.h"
#include "platform/path.h"

namespace {

constexpr int kIconSize = 16;
constexpr int kIconColumn = 22;  // icon or check mark, with its margins
constexpr int kTextLeft = kIconColumn + 6;
constexpr int kShortcutGap = 24;
constexpr int kRightMargin = 16;
constexpr int kSeparatorHeight = 9;
constexpr COLORREF kTransparent = RGB(192, 192, 192);
// Raster operation "PSDPxax": the brush where the source is black, the
// destination where it is white.
constexpr DWORD kPaintThroughMask = 0x00B8074A;

struct Item {
  HMENU menu;
  UINT id;
  UINT originalType;
  bool separator;
  char text[256];
};

struct Icon {
  int command;
  HBITMAP color;  // the image, black where transparent
  HBITMAP mask;   // monochrome: black on the image, white where transparent
  HBITMAP shape;  // monochrome: black on the image's dark pixels, the outline a disabled item shows
};

}  // namespace

struct jMenu_ {
  HWND window = nullptr;
  HMENU bar = nullptr;
  HFONT font = nullptr;
  std::vector<std::unique_ptr<Item>> items;
  std::vector<Icon> icons;
};

namespace {

Item* itemOf(jMENU menu, ULONG_PTR data) {
  for (const auto& item : menu->items)
    if (reinterpret_cast<ULONG_PTR>(item.get()) == data) return item.get();
  return nullptr;
}

const Icon* iconOf(jMENU menu, UINT command) {
  for (const Icon& icon : menu->icons)
    if (static_cast<UINT>(icon.command) == command) return &icon;
  return nullptr;
}

void convertPopup(jMENU menu, HMENU popup) {
  const int count = GetMenuItemCount(popup);
  for (int i = 0; i < count; ++i) {
    auto item = std::make_unique<Item>();
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = item->text;
    info.cch = sizeof item->text;
    if (!GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.fType & MFT_OWNERDRAW) continue;  // someone else draws it
    if (info.hSubMenu) convertPopup(menu, info.hSubMenu);
    item->menu = popup;
    item->id = info.wID;
    item->originalType = info.fType;
    item->separator = (info.fType & MFT_SEPARATOR) != 0;
    if (item->separator) item->text[0] = '\0';

    MENUITEMINFOA owner{};
    owner.cbSize = sizeof owner;
    owner.fMask = MIIM_FTYPE | MIIM_DATA;
    owner.fType = info.fType | MFT_OWNERDRAW;
    owner.dwItemData = reinterpret_cast<ULONG_PTR>(item.get());
    if (SetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &owner)) menu->items.push_back(std::move(item));
  }
}

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

}  // namespace

jMENU jMenuInit(jHWND window) {
  HMENU bar = window ? GetMenu(window) : nullptr;
  if (!bar) return nullptr;
  auto menu = std::make_unique<jMenu_>();
  menu->window = window;
  menu->bar = bar;
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    menu->font = CreateFontIndirectA(&metrics.lfMenuFont);
  const int count = GetMenuItemCount(bar);
  for (int i = 0; i < count; ++i)
    if (HMENU popup = GetSubMenu(bar, i)) convertPopup(menu.get(), popup);
  return menu.release();
}

int jMenuSetIcon(jMENU menu, int command, jHBITMAP strip, int image) {
  BITMAP size{};
  if (!menu || !strip || image < 0 || !GetObjectA(strip, sizeof size, &size) ||
      (image + 1) * kIconSize > size.bmWidth || size.bmHeight < kIconSize)
    return 0;
  HDC screen = GetDC(nullptr);
  HDC source = CreateCompatibleDC(screen);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP color = CreateCompatibleBitmap(screen, kIconSize, kIconSize);
  HBITMAP mask = CreateBitmap(kIconSize, kIconSize, 1, 1, nullptr);
  bool ok = source && target && color && mask;
  if (ok) {
    HGDIOBJ oldSource = SelectObject(source, strip);
    // The mask: white where the strip shows the transparent colour.
    SetBkColor(source, kTransparent);
    HGDIOBJ oldTarget = SelectObject(target, mask);
    BitBlt(target, 0, 0, kIconSize, kIconSize, source, image * kIconSize, 0, SRCCOPY);
    // The image, then black where the mask is white.
    SelectObject(target, color);
    BitBlt(target, 0, 0, kIconSize, kIconSize, source, image * kIconSize, 0, SRCCOPY);
    HDC maskDc = CreateCompatibleDC(screen);
    if (maskDc) {
      HGDIOBJ oldMask = SelectObject(maskDc, mask);
      SetTextColor(target, RGB(0, 0, 0));
      SetBkColor(target, RGB(255, 255, 255));
      BitBlt(target, 0, 0, kIconSize, kIconSize, maskDc, 0, 0, 0x00220326);  // DSna: keep where the mask is black
      SelectObject(maskDc, oldMask);
      DeleteDC(maskDc);
    } else {
      ok = false;
    }
    SelectObject(target, oldTarget);
    SelectObject(source, oldSource);
  }
  if (target) DeleteDC(target);
  if (source) DeleteDC(source);
  ReleaseDC(nullptr, screen);
  HBITMAP shape = ok ? darkShapeOf(strip, image) : nullptr;
  if (!ok || !shape) {
    if (color) DeleteObject(color);
    if (mask) DeleteObject(mask);
    return 0;
  }
  for (Icon& icon : menu->icons) {
    if (icon.command == command) {
      deleteIcon(icon);
      icon = Icon{command, color, mask, shape};
      return 1;
    }
  }
  menu->icons.push_back(Icon{command, color, mask, shape});
  return 1;
}

int jMenuMeasureItem(jMENU menu, jHWND window, void* measureItem) {
  auto* measure = static_cast<MEASUREITEMSTRUCT*>(measureItem);
  if (!menu || !measure || measure->CtlType != ODT_MENU) return 0;
  const Item* item = itemOf(menu, measure->itemData);
  if (!item) return 0;
  if (item->separator) {
    measure->itemWidth = kIconColumn;
    measure->itemHeight = kSeparatorHeight;
    return 1;
  }
  HWND owner = window ? window : menu->window;
  HDC dc = GetDC(owner);
  if (!dc) return 0;
  HGDIOBJ oldFont = menu->font ? SelectObject(dc, menu->font) : nullptr;
  char label[256];
  const char* shortcut = nullptr;
  splitShortcut(item->text, label, sizeof label, &shortcut);
  RECT text{0, 0, 0, 0};
  DrawTextA(dc, label, -1, &text, DT_SINGLELINE | DT_CALCRECT);
  int width = kTextLeft + (text.right - text.left) + kRightMargin;
  if (shortcut) {
    RECT keys{0, 0, 0, 0};
    DrawTextA(dc, shortcut, -1, &keys, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    width += kShortcutGap + (keys.right - keys.left);
  }
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  if (oldFont) SelectObject(dc, oldFont);
  ReleaseDC(owner, dc);
  const int height = metrics.tmHeight + 6;
  measure->itemWidth = static_cast<UINT>(width);
  measure->itemHeight = static_cast<UINT>(height > kIconSize + 4 ? height : kIconSize + 4);
  return 1;
}

int jMenuDrawItem(jMENU menu, void* drawItem) {
  auto* draw = static_cast<DRAWITEMSTRUCT*>(drawItem);
  if (!menu || !draw || draw->CtlType != ODT_MENU) return 0;
  const Item* item = itemOf(menu, draw->itemData);
  if (!item) return 0;
  HDC dc = draw->hDC;
  RECT area = draw->rcItem;

  if (item->separator) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_MENU));
    RECT line = area;
    line.left += 2;
    line.right -= 2;
    line.top += (area.bottom - area.top) / 2 - 1;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return 1;
  }

  const bool selected = (draw->itemState & ODS_SELECTED) != 0;
  const bool grayed = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool checked = (draw->itemState & ODS_CHECKED) != 0;
  const Icon* icon = iconOf(menu, item->id);

  FillRect(dc, &area, GetSysColorBrush(selected && !grayed ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (selected && grayed) {
    // A grayed item under the cursor shows only a frame.
    FrameRect(dc, &area, GetSysColorBrush(COLOR_HIGHLIGHT));
  }

  RECT cell{area.left, area.top, area.left + kIconColumn, area.bottom};
  const COLORREF textColor =
      grayed ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
  // A checked item shows the system's check mark in the icon's place, as the
  // system draws a menu that shows a check or a bitmap: a frame around the
  // icon was too faint to tell on from off.
  if (checked) {
    drawCheck(dc, cell, textColor);
  } else if (icon) {
    drawIcon(dc, cell.left + (kIconColumn - kIconSize) / 2, cell.top + (cell.bottom - cell.top - kIconSize) / 2, *icon,
             grayed);
  }

  HGDIOBJ oldFont = menu->font ? SelectObject(dc, menu->font) : nullptr;
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const UINT hidePrefix = (draw->itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
  RECT text = area;
  text.left += kTextLeft;
  if (grayed && !selected) {
    // The classic engraved look: a light copy one pixel down and right.
    RECT light = text;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    drawLabel(dc, *item, light, hidePrefix);
  }
  const COLORREF oldColor = SetTextColor(dc, textColor);
  drawLabel(dc, *item, text, hidePrefix);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  if (oldFont) SelectObject(dc, oldFont);
  return 1;
}

int jMenuEnd(jMENU menu) {
  if (!menu) return 0;
  for (const auto& item : menu->items) {
    // Find the item by its data: items may have moved or gone meanwhile.
    const int count = IsMenu(item->menu) ? GetMenuItemCount(item->menu) : 0;
    for (int i = 0; i < count; ++i) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_DATA;
      if (!GetMenuItemInfoA(item->menu, static_cast<UINT>(i), TRUE, &info) ||
          info.dwItemData != reinterpret_cast<ULONG_PTR>(item.get()))
        continue;
      MENUITEMINFOA back{};
      back.cbSize = sizeof back;
      back.fMask = MIIM_FTYPE | MIIM_DATA | (item->separator ? 0 : MIIM_STRING);
      back.fType = item->originalType;
      back.dwItemData = 0;
      back.dwTypeData = item->text;
      SetMenuItemInfoA(item->menu, static_cast<UINT>(i), TRUE, &back);
      break;
    }
  }
  for (const Icon& icon : menu->icons) deleteIcon(icon);
  if (menu->font) DeleteObject(menu->font);
  delete menu;
  return 1;
}
