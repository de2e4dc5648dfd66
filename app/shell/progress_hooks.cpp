#include "app/shell/progress_hooks.h"

#include <atomic>

namespace vlx {
namespace {

// The progress context the drawing library gets from begin and hands to the
// other hooks: the first field reserved, the second the running flag.
struct ProgressContext {
  std::atomic<int> reserved{0};
  std::atomic<int> running{0};
};

ProgressContext g_context;
// A stop that came before the library began the print (between the worker's
// last state check and begin) must not be undone by begin.
std::atomic<bool> g_stopRequested{false};
std::atomic<ProgressDisplay*> g_display{nullptr};

ProgressContext* contextOf(void* progress) {
  return static_cast<ProgressContext*>(progress);
}

void* begin(void*) {
  if (ProgressDisplay* display = g_display.load()) display->setProgress(0);
  g_context.running.store(g_stopRequested.load() ? 0 : 1);
  return &g_context;
}

void end(void* progress) {
  if (!progress) return;
  ProgressDisplay* display = g_display.load();
  if (display) display->setProgress(0);
  contextOf(progress)->running.store(0);
  if (display) display->setActivityText(nullptr);
}

int query(void* progress) {
  return progress ? contextOf(progress)->running.load() : 0;
}

int step(void* progress, int position, const char* text) {
  if (!progress) return 0;
  if (ProgressDisplay* display = g_display.load()) {
    if (position >= 0) display->setProgress(position > 100 ? 100 : position);
    if (text) display->setActivityText(text);
  }
  return contextOf(progress)->running.load();
}

// Only a stop asked for by the window ends a print here. The library also
// asks between pages and while a port is slow to take the job's bytes,
// after the page's progress has ended (no context, or an ended one): a
// slow printer is no reason to stop.
int yield(void*) {
  if (ProgressDisplay* display = g_display.load()) display->pumpOwnQueue();
  return g_stopRequested.load() ? 0 : 1;
}

constexpr jProgressHooks kHooks = {begin, end, query, step, yield};

}  // namespace

void useProgressDisplay(ProgressDisplay* display) {
  g_display.store(display);
}

const jProgressHooks* progressHooks() {
  return &kHooks;
}

int progressRunning() {
  return g_context.running.load();
}

void armProgress() {
  g_stopRequested.store(false);
}

void stopProgress() {
  g_stopRequested.store(true);
  g_context.running.store(0);
}

}  // namespace vlx
