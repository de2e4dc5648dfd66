// Drives modal dialogs from inside their own message loops: a thread timer
// runs the next step of a script as soon as a window with the step's title
// is up and enabled (so the innermost modal window is the one acted on).
// A step that finds no window in time ends every dialog of the thread, so a
// failing test never hangs, and records the failure.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace dialog_test {

using Action = std::function<void(HWND)>;

class ModalScript {
 public:
  ModalScript();
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  // Acts on the window titled title once it is up.
  ModalScript& on(const std::string& title, Action action);
  // A message box: records its text and answers with button (IDOK, IDYES ...).
  ModalScript& answer(const std::string& caption, int button);

  // Every step ran, in order, none timed out.
  bool finished() const { return next_ == steps_.size() && failure_.empty(); }
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

  std::vector<Step> steps_;
  std::vector<std::string> messages_;
  std::size_t next_ = 0;
  DWORD waitingSince_ = 0;
  UINT_PTR timer_ = 0;
  std::string failure_;
};

// Real messages to one control of a dialog.
void click(HWND dialog, int id);
void choose(HWND dialog, int comboId, int index);      // selection + CBN_SELCHANGE
void type(HWND dialog, int editId, const char* text);  // text + EN_KILLFOCUS
std::string text(HWND dialog, int id);
bool enabled(HWND dialog, int id);
bool visible(HWND dialog, int id);
std::string windowText(HWND window);

}  // namespace dialog_test
