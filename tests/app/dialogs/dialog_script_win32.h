// Drives the modal dialogs and message boxes of the test's thread with real
// messages: each step waits for a visible top-level dialog with its title,
// then acts on it. Steps run from a thread timer, which every modal loop
// dispatches, so a test simply calls the function that opens the dialog.
// Actions post their clicks, never send them: a click that opens a nested
// modal dialog must not hold the script inside its own step.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace dialog_test {

class DialogScript {
 public:
  using Action = std::function<void(HWND)>;

  DialogScript();
  ~DialogScript();
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  // The next step: the visible dialog titled title gets action.
  DialogScript& then(const std::string& title, Action action);
  // A message box titled title: its text is kept, button id pressed.
  DialogScript& answer(const std::string& title, int button = IDOK);

  bool finished() const { return steps_.empty(); }
  // Texts of the message boxes met, in order.
  const std::vector<std::string>& messages() const { return messages_; }
  // True when a step waited too long and its dialogs were cancelled.
  bool timedOut() const { return timedOut_; }

 private:
  struct Step {
    std::string title;
    Action action;
  };
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
  void onTick();

  std::deque<Step> steps_;
  std::vector<std::string> messages_;
  UINT_PTR timer_ = 0;
  int idleTicks_ = 0;
  bool timedOut_ = false;
  bool busy_ = false;
};

// Posts a button click to a dialog, as a button reports one.
void click(HWND dialog, int id);
// Posts a mouse click to the button itself (an auto radio button checks).
void press(HWND dialog, int id);
std::string textOf(HWND dialog, int id);
// The visible top-level dialog of this thread with that title; null when none.
HWND findDialog(const std::string& title);
// The page of a tabbed dialog that holds a control id.
HWND pageWith(HWND dialog, int controlId);
// Dispatches what is queued for this thread.
void pump();

}  // namespace dialog_test
