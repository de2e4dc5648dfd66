// The parts of the owner-drawn menus that menu_win32.cpp (the items and
// their life) and menu_paint_win32.cpp (measuring and painting) share.
#pragma once

#include <windows.h>

#include <cstddef>

namespace menu_parts {

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

// Splits "Text(&P)\tCtrl+P" into the text and the shortcut part.
void splitShortcut(const char* text, char* label, std::size_t labelSize, const char** shortcut);
// The mask's black pixels in color, the others left as they are.
void paintMask(HDC dc, int x, int y, int width, int height, HBITMAP mask, COLORREF color);
void drawIcon(HDC dc, int x, int y, const Icon& icon, bool grayed);
void drawCheck(HDC dc, const RECT& cell, COLORREF color);
void drawLabel(HDC dc, const Item& item, RECT area, UINT extraFormat);
void deleteIcon(const Icon& icon);
// A monochrome bitmap of the image's dark, opaque pixels (black; white
// elsewhere): what a disabled item keeps of its icon.
HBITMAP darkShapeOf(HBITMAP strip, int image);

}  // namespace menu_parts
