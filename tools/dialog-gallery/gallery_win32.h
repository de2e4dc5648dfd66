// The dialog gallery: a table of shots, each opening one dialog as its
// program opens it; the gallery photographs the dialog once it has painted
// and closes it again. Another module's dialogs join by adding rows.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace gallery {

struct Shot {
  const char* file;   // picture name, without extension
  const char* title;  // caption of the dialog to photograph
  // Opens the dialog modally and returns when it is closed.
  std::function<void()> open;
  // Brings the open dialog into the state to show (a tab, a choice); may be empty.
  std::function<void(HWND)> prepare;
};

// The shots of vellox's dialogs and of the drawing library's.
std::vector<Shot> velloxShots(const char* workFolder);

}  // namespace gallery
