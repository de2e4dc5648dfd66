// A drawing library in place of the real one for the job code's tests: a
// "job file" is any file whose content begins with "JOB" (with "TILE"
// somewhere for a tiled job); devices are the library's real device
// objects, so records release them as usual. Printing runs a script of the
// progress hooks that a test chooses. Header only: several test programs
// share it.
#pragma once

#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "Base.h"
#include "app/jobs/draw_calls.h"
#include "platform/file.h"

namespace vlx::fake {

inline std::string fileText(const char* path) {
  std::string text;
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadShared);
  if (!file) return text;
  char buffer[256];
  std::int64_t got = 0;
  while ((got = platform::readFile(file, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
  platform::closeFile(file);
  return text;
}

// What a fake job file is: nothing yet, or the beginning of "JOB" (a job cut
// short), "JOB" with "CUT" (one whose writer stopped), "JOB" with "OFFPAGE"
// (drawn beyond any page), "JOB" (a job), or anything else (no job).
inline int checkJob(const char* path) {
  const std::string text = fileText(path);
  if (text.empty()) return J_DRX_EMPTY;
  if (text.size() < 3 && std::string("JOB").rfind(text, 0) == 0) return J_DRX_CUT_SHORT;
  if (text.rfind("JOB", 0) != 0) return J_DRX_NOT_A_JOB;
  if (text.find("CUT") != std::string::npos) return J_DRX_CUT_SHORT;
  return text.find("OFFPAGE") != std::string::npos ? J_DRX_OFF_PAGE : J_DRX_WHOLE;
}

inline bool isJob(const char* path) {
  return checkJob(path) == J_DRX_WHOLE;
}

struct PrintCall {
  std::string path;  // the file last loaded into the document
  bool tiled;
  jHWND window;
};

// What the fake library saw and what its print does.
struct Library {
  std::mutex mutex;
  std::string loaded;  // path of the file in the document
  std::vector<PrintCall> prints;
  // The print itself, given the hooks' progress handle: its result is the
  // print call's result. Default: a page of three steps, success.
  std::function<int(const jProgressHooks&)> script;
  const jProgressHooks* hooks = nullptr;
  // What the last print that failed says, and the machine's account: each
  // print adds inkPerPrint picolitres to every ink.
  std::string lastError;
  int64_t inkPerPrint = 0;
  bool noDevicePort = false;  // as for a machine the installation lacks
  InkEntry account[8] = {};
};

inline Library& library() {
  static Library l;
  return l;
}

inline int runScript(jHWND window, bool tiled) {
  Library& l = library();
  std::function<int(const jProgressHooks&)> script;
  {
    std::lock_guard<std::mutex> lock(l.mutex);
    l.prints.push_back({l.loaded, tiled, window});
    script = l.script;
  }
  {
    std::lock_guard<std::mutex> lock(l.mutex);
    for (InkEntry& ink : l.account) ink.totalUsed += l.inkPerPrint;
  }
  if (!l.hooks) return 1;
  if (!script) {
    void* progress = l.hooks->begin(nullptr);
    for (int position : {0, 50, 100}) {
      if (!l.hooks->step(progress, position, "印刷中...")) {
        l.hooks->end(progress);
        return 0;
      }
    }
    l.hooks->end(progress);
    return 1;
  }
  return script(*l.hooks);
}

inline const DrawCalls& calls() {
  static const DrawCalls table = {
      [](const char* path) -> jDEVICE { return isJob(path) ? jPdevOpen() : nullptr; },
      [](const char* path) -> void* { return isJob(path) ? jMemAlloc(16) : nullptr; },
      [](const char* path, void*) { return fileText(path).find("TILE") != std::string::npos ? 1 : 0; },
      jPdevClose,
      [](jDEVICE, char* machine) {
        std::strcpy(machine, "RX3-1600");
        return 1;
      },
      [](const char*, const char*, const void*, char* device, char* port) {
        if (library().noDevicePort) return 0;
        std::strcpy(device, "RX-3 file");
        std::strcpy(port, "FILE:output");
        return 1;
      },
      [](jCOLOR* preview, int, int, const char* path) {
        if (!isJob(path)) return 0;
        for (int i = 0; i < 100 * 100; ++i) preview[i] = J_RGB(0, 0, 255);
        return 1;
      },
      [](int32_t, int) {
        std::lock_guard<std::mutex> lock(library().mutex);
        library().loaded.clear();
        return 1;
      },
      [](int32_t, int, int, const char* path) {
        if (!isJob(path)) return 0;
        std::lock_guard<std::mutex> lock(library().mutex);
        library().loaded = path;
        return 1;
      },
      [](jHWND window, int32_t, jDEVICE, int, const void*) { return runScript(window, false); },
      [](jHWND window, int32_t, jDEVICE, const void*, int, const void*) { return runScript(window, true); },
      [](char* text, int size) {
        std::lock_guard<std::mutex> lock(library().mutex);
        const std::string& reason = library().lastError;
        if (size > 0) std::snprintf(text, static_cast<size_t>(size), "%s", reason.c_str());
        return static_cast<int>(reason.size());
      },
      [](const char*, InkEntry* inks, int count) {
        std::lock_guard<std::mutex> lock(library().mutex);
        const int kept = count < 8 ? count : 8;
        std::memcpy(inks, library().account, sizeof(InkEntry) * static_cast<size_t>(kept));
        return kept;
      },
      [](jDEVICE, char* title) {
        std::strcpy(title, "ﾃｽﾄｼﾞｮﾌﾞ");
        return 1;
      },
      [](jDEVICE, jPdevArea* area) {
        *area = jPdevArea{};
        area->x1 = 1000;
        area->y1 = 500;
        area->mmPerUnitX = area->mmPerUnitY = 1;
        return 1;
      },
      nullptr,
      checkJob,
  };
  return table;
}

// Puts the fake library in place for one test.
class UseFakeDraw {
 public:
  explicit UseFakeDraw(const jProgressHooks* hooks = nullptr) {
    Library& l = library();
    std::lock_guard<std::mutex> lock(l.mutex);
    l.loaded.clear();
    l.prints.clear();
    l.script = nullptr;
    l.hooks = hooks;
    l.lastError.clear();
    l.inkPerPrint = 0;
    l.noDevicePort = false;
    for (InkEntry& ink : l.account) ink = InkEntry{};
    useDrawCalls(&calls());
  }
  ~UseFakeDraw() { useDrawCalls(nullptr); }
  UseFakeDraw(const UseFakeDraw&) = delete;
  UseFakeDraw& operator=(const UseFakeDraw&) = delete;
};

}  // namespace vlx::fake
