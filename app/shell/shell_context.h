// What the shell keeps besides AppState: the variant and the texts and names
// it chose at start-up, and the program's paths. One instance per process,
// filled by start-up before the main window exists; the window procedure
// receives it as its creation parameter.
#pragma once

#include "app/shell/app_state.h"
#include "app/shell/program_paths.h"
#include "app/shell/variant.h"

namespace vlx {

constexpr int kCaptionCapacity = 260;
constexpr int kClassNameCapacity = 256;
constexpr int kIconNameCapacity = 12;

struct ShellContext {
  AppState* state;
  const Variant* variant;
  char caption[kCaptionCapacity];      // window title and title of every message box
  char versionText[kCaptionCapacity];  // body of the version dialog
  char className[kClassNameCapacity];
  char iconName[kIconNameCapacity];
  ProgramPaths paths;
  int handOverRescans;  // second starts handed over to this instance
};

}  // namespace vlx
