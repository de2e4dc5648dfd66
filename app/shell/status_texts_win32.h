// The status texts over the main window's status-bar control.
#pragma once

#include <windows.h>

#include "app/shell/status_texts.h"

namespace vlx {

// Parts 0 and 1 are drawn without a border, 2 and 3 with the normal one.
class Win32StatusBar final : public StatusBarPort {
 public:
  explicit Win32StatusBar(HWND bar = nullptr) : bar_(bar) {}
  void attach(HWND bar) { bar_ = bar; }
  void setPartText(int part, const char* text) override;

 private:
  HWND bar_;
};

// Divides the status bar into its four parts (right edges 130, 350, 450 and
// the window edge).
bool setStatusParts(HWND bar);

}  // namespace vlx
