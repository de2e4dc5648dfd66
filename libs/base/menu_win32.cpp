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
#include "libs/base/menu_parts_win32.h"
#include "platform/path.h"

using namespace menu_parts;

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
