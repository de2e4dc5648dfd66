// Tells the main window at once when a file appears in the hot folder (is
// created there or renamed into it), so that the first look of its intake
// does not wait for the next refresh. A thread waits on the folder's change
// notification and posts one message; it posts no other until the window
// says it has handled that one, so a burst of files costs one scan.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

namespace vlx {

class HotFolderWatch {
 public:
  // Null when the folder cannot be watched (the refresh tick still scans it).
  static HotFolderWatch* start(HWND window, UINT message, const char* folder);
  ~HotFolderWatch();  // stops the thread; it ends within one wait
  HotFolderWatch(const HotFolderWatch&) = delete;
  HotFolderWatch& operator=(const HotFolderWatch&) = delete;

  // The window has taken the message: the next change posts again.
  void handled() { posted_.store(false); }

 private:
  HotFolderWatch(HWND window, UINT message, HANDLE change, HANDLE stop);
  void run();

  HWND window_;
  UINT message_;
  HANDLE change_;
  HANDLE stop_;
  std::atomic<bool> posted_{false};
  std::thread thread_;
};

}  // namespace vlx
