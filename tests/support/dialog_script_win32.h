// Drives the modal dialogs and message boxes of the test's thread with real
// messages, from inside their own message loops: a thread timer (which every
// modal loop dispatches) runs the next step as soon as a visible, enabled
// dialog with the step's title is up, so the innermost modal dialog is the
// one acted on and a test simply calls the function that opens it.
// A step is taken before its action runs: an action that opens a nested
// modal dialog lets that dialog's loop run the following steps, while a
// step for a dialog whose action is still running waits for it to return. A step that
// finds no dialog in time records the failure and cancels every dialog of
// the thread, so a failing test never hangs.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace dialog_test {

using Action = std::function<void(HWND)>;

class DialogScript {
 public:
  DialogScript();
  ~DialogScript();
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  // The next step: the dialog titled title gets action.
  DialogScript& on(const std::string& title, Action action);
  // A message box titled title: its text is kept, button pressed (IDOK when
  // the box has no such button).
  DialogScript& answer(const std::string& title, int button = IDOK);

  // Every step ran, in order, and none waited in vain.
  bool finished() const { return steps_.empty() && failure_.empty(); }
  // Which step waited in vain; empty when none did.
  const std::string& failure() const { return failure_; }
  // Texts of the message boxes answered, in order.
  const std::vector<std::string>& messages() const { return messages_; }

 private:
  struct Step {
    std::string title;
    Action action;
  };
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
  void onTick();

  std::deque<Step> steps_;
  std::vector<std::string> messages_;
  std::string failure_;
  std::vector<HWND> acting_;  // dialogs whose step's action is running, innermost last
  int taken_ = 0;
  DWORD waitingSince_ = 0;
  UINT_PTR timer_ = 0;
};

// Real messages to one control of a dialog.
void click(HWND dialog, int id);                       // sent, as the button reports a click
void postClick(HWND dialog, int id);                   // posted: acts once the step has returned
void press(HWND dialog, int id);                       // a mouse click on the button itself
void choose(HWND dialog, int comboId, int index);      // selection + CBN_SELCHANGE
void type(HWND dialog, int editId, const char* text);  // text + EN_KILLFOCUS
std::string text(HWND dialog, int id);
bool enabled(HWND dialog, int id);
bool visible(HWND dialog, int id);
std::string windowText(HWND window);
// The visible top-level dialog of this thread with that title; null when none.
HWND findDialog(const std::string& title);
// The page of a tabbed dialog that holds a control id.
HWND pageWith(HWND dialog, int controlId);
// Dispatches what is queued for this thread.
void pump();

}  // namespace dialog_test
