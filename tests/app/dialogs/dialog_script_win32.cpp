#include "dialog_script_win32.h"

#include <cstdio>
#include <cstring>

namespace dialog_test {
namespace {

constexpr UINT kTickMs = 40;
// About eight seconds without a matching dialog ends the wait.
constexpr int kPatienceTicks = 200;

DialogScript* gActive = nullptr;

bool isVisibleDialog(HWND window) {
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  return std::strcmp(className, "#32770") == 0 && IsWindowVisible(window);
}

struct Search {
  const std::string* title;
  HWND found;
};

BOOL CALLBACK findByTitle(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!isVisibleDialog(window)) return TRUE;
  char title[256] = "";
  GetWindowTextA(window, title, sizeof title);
  if (*search->title != title) return TRUE;
  search->found = window;
  return FALSE;
}

// Cancels every dialog left open, and says which ones, so a step that
// waited in vain shows what was on the screen instead.
BOOL CALLBACK cancelDialog(HWND window, LPARAM) {
  if (!isVisibleDialog(window)) return TRUE;
  char title[256] = "";
  GetWindowTextA(window, title, sizeof title);
  std::fprintf(stderr, "dialog script: gave up waiting; open: \"%s\"\n", title);
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
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

DialogScript& DialogScript::then(const std::string& title, Action action) {
  steps_.push_back({title, std::move(action)});
  return *this;
}

DialogScript& DialogScript::answer(const std::string& title, int button) {
  return then(title, [this, button](HWND box) {
    messages_.push_back(textOf(box, 0xFFFF));
    click(box, GetDlgItem(box, button) ? button : IDOK);
  });
}

void CALLBACK DialogScript::tick(HWND, UINT, UINT_PTR, DWORD) {
  if (gActive) gActive->onTick();
}

void DialogScript::onTick() {
  if (busy_ || steps_.empty()) return;
  busy_ = true;
  HWND dialog = findDialog(steps_.front().title);
  if (dialog) {
    Step step = std::move(steps_.front());
    steps_.pop_front();
    idleTicks_ = 0;
    step.action(dialog);
  } else if (++idleTicks_ > kPatienceTicks) {
    timedOut_ = true;
    steps_.clear();
    EnumThreadWindows(GetCurrentThreadId(), cancelDialog, 0);
  }
  busy_ = false;
}

void click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void press(HWND dialog, int id) {
  PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string textOf(HWND dialog, int id) {
  char text[1024] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

HWND findDialog(const std::string& title) {
  Search search{&title, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), findByTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
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
