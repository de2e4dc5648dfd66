// What a program killed mid-work leaves that nothing else clears, swept at
// the start of the one running instance: the print files a file port was
// still writing (never a print's name, so no one took them for prints) and
// the temporary files of saves that were cut short. Only names of our own
// making, and only files nobody wrote for a minute: another program may be
// printing into a port folder or saving beside us right now.
#pragma once

#include "app/shell/app_state.h"

namespace vlx {

constexpr int kLeftoverSeconds = 60;

// The folders of the installation (the environment file's, the printer
// folder) and the file ports of the device registry at registryPath. How
// many files went.
int sweepCrashLeftovers(const AppState& state, const char* registryPath);

}  // namespace vlx
