#include "tests/support/dialog_script_win32.h"

#include <cstdio>
#include <cstring>

namespace dialog_test {
namespace {

constexpr UINT kTickMs = 25;
// A loaded machine under Wine can take seconds to show a dialog.
constexpr DWORD kStepTimeoutMs = 15000;

DialogScript* gActive = nullptr;

bool isDialog(HWND window) {
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  return std::strcmp(className, "#32770") == 0 && IsWindowVisible(window);
}

struct Search {
  const std::string* title;
  bool enabledOnly;
  HWND found;
};

BOOL CALLBACK findByTitle(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!isDialog(window) || (search->enabledOnly && !IsWindowEnabled(window))) return TRUE;
  if (windowText(window) != *search->title) return TRUE;
  search->found = window;
  return FALSE;
}

HWND findOnThread(const std::string& title, bool enabledOnly) {
  Search search{&title, enabledOnly, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), findByTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Ends every dialog left open and says which ones, so a step that waited in
// vain shows what was on the screen instead.
BOOL CALLBACK cancelDialog(HWND window, LPARAM) {
  if (!isDialog(window)) return TRUE;
  std::fprintf(stderr, "dialog script: gave up waiting; open: \"%s\"\n", windowText(window).c_str());
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);  // a property sheet ends on its cancel button
  EndDialog(window, IDCANCEL);
  return TRUE;
}

BOOL CALLBACK collectStatic(HWND child, LPARAM param) {
  char kind[16] = "";
  GetClassNameA(child, kind, sizeof kind);
  if (lstrcmpiA(kind, "Static") == 0) *reinterpret_cast<std::string*>(param) += windowText(child);
  return TRUE;
}

struct PageSearch {
  int id;
  HWND found;
};

BOOL CALLBACK findPage(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<PageSearch*>(param);
  if (GetDlgItem(window, search->id) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

DialogScript::DialogScript() {
  gActive = this;
  timer_ = SetTimer(nullptr, 0, kTickMs, tick);
}

DialogScript::~DialogScript() {
  KillTimer(nullptr, timer_);
  if (gActive == this) gActive = nullptr;
}

DialogScript& DialogScript::on(const std::string& title, Action action) {
  steps_.push_back({title, std::move(action)});
  return *this;
}

DialogScript& DialogScript::answer(const std::string& title, int button) {
  return on(title, [this, button](HWND box) {
    // A message box's text is its one static with text (the icon has none).
    std::string shown;
    EnumChildWindows(box, collectStatic, reinterpret_cast<LPARAM>(&shown));
    messages_.push_back(shown);
    postClick(box, GetDlgItem(box, button) ? button : IDOK);
  });
}

void CALLBACK DialogScript::tick(HWND, UINT, UINT_PTR, DWORD) {
  if (gActive) gActive->onTick();
}

void DialogScript::onTick() {
  if (!failure_.empty()) {
    EnumThreadWindows(GetCurrentThreadId(), cancelDialog, 0);
    return;
  }
  if (steps_.empty()) return;
  if (waitingSince_ == 0) waitingSince_ = GetTickCount();
  HWND dialog = findOnThread(steps_.front().title, true);
  if (!dialog) {
    if (GetTickCount() - waitingSince_ > kStepTimeoutMs) {
      failure_ = "no dialog \"" + steps_.front().title + "\" for step " + std::to_string(taken_);
      steps_.clear();
      EnumThreadWindows(GetCurrentThreadId(), cancelDialog, 0);
    }
    return;
  }
  // A dialog whose step is still running (its action pumps messages) waits
  // for the action to return; a nested dialog the action opened does not.
  for (HWND busy : acting_)
    if (busy == dialog) return;
  Step step = std::move(steps_.front());
  steps_.pop_front();
  ++taken_;
  waitingSince_ = 0;
  acting_.push_back(dialog);
  step.action(dialog);
  acting_.pop_back();
}

void click(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void postClick(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void press(HWND dialog, int id) {
  PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void choose(HWND dialog, int comboId, int index) {
  HWND combo = GetDlgItem(dialog, comboId);
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void type(HWND dialog, int editId, const char* text) {
  HWND edit = GetDlgItem(dialog, editId);
  SetWindowTextA(edit, text);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(editId, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
}

std::string windowText(HWND window) {
  char buffer[1024] = "";
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

std::string text(HWND dialog, int id) {
  return windowText(GetDlgItem(dialog, id));
}

bool enabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool visible(HWND dialog, int id) {
  return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

HWND findDialog(const std::string& title) {
  return findOnThread(title, false);
}

HWND pageWith(HWND dialog, int controlId) {
  PageSearch search{controlId, nullptr};
  EnumChildWindows(dialog, findPage, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace dialog_test
