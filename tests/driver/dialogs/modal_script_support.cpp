#include "modal_script.h"

namespace dialog_test {
namespace {

constexpr UINT kTickMs = 25;
constexpr DWORD kStepTimeoutMs = 15000;

ModalScript* g_running = nullptr;

struct Search {
  const std::string* title;
  HWND found;
};

BOOL CALLBACK findTitled(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (IsWindowVisible(window) && IsWindowEnabled(window) && windowText(window) == *search->title) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK endDialog(HWND window, LPARAM) {
  if (IsWindowVisible(window)) EndDialog(window, 0);
  return TRUE;
}

BOOL CALLBACK collectStatic(HWND child, LPARAM lParam) {
  char kind[16] = "";
  GetClassNameA(child, kind, sizeof kind);
  if (lstrcmpiA(kind, "Static") == 0) {
    std::string text = windowText(child);
    if (!text.empty()) *reinterpret_cast<std::string*>(lParam) += text;
  }
  return TRUE;
}

}  // namespace

ModalScript::ModalScript() {
  g_running = this;
  timer_ = SetTimer(nullptr, 0, kTickMs, tick);
}

ModalScript::~ModalScript() {
  KillTimer(nullptr, timer_);
  g_running = nullptr;
}

ModalScript& ModalScript::on(const std::string& title, Action action) {
  steps_.push_back(Step{title, std::move(action)});
  return *this;
}

ModalScript& ModalScript::answer(const std::string& caption, int button) {
  return on(caption, [this, button](HWND box) {
    std::string text;
    EnumChildWindows(box, collectStatic, reinterpret_cast<LPARAM>(&text));
    messages_.push_back(text);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  });
}

void CALLBACK ModalScript::tick(HWND, UINT, UINT_PTR, DWORD) {
  if (g_running) g_running->onTick();
}

void ModalScript::onTick() {
  if (next_ >= steps_.size()) return;
  if (waitingSince_ == 0) waitingSince_ = GetTickCount();
  Search search{&steps_[next_].title, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), findTitled, reinterpret_cast<LPARAM>(&search));
  if (!search.found) {
    if (GetTickCount() - waitingSince_ > kStepTimeoutMs) {
      if (failure_.empty()) failure_ = "no window \"" + steps_[next_].title + "\" for step " + std::to_string(next_);
      EnumThreadWindows(GetCurrentThreadId(), endDialog, 0);
    }
    return;
  }
  // Advanced before acting: the action may open a nested modal window whose
  // loop runs the following steps before the action returns.
  Step step = steps_[next_++];
  waitingSince_ = 0;
  step.action(search.found);
}

void click(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
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
  char buffer[512] = "";
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

}  // namespace dialog_test
