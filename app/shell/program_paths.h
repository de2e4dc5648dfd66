// Where vellox keeps its files: everything lives beside the program. The
// paths are derived from the program's own file name once at start-up.
//
// A path that does not fit in 260 bytes is refused, never cut: a cut path
// names another file or folder. When the program folder is so deep that any
// of the derived paths would not fit, buildProgramPaths fails as a whole and
// start-up stops with a message instead of running on partial paths.
#pragma once

#include <cstddef>

#include "app/shell/app_state.h"

namespace vlx {

constexpr std::size_t kPathCapacity = 260;

// Paths the shell needs besides those kept in AppState.
struct ProgramPaths {
  char programPath[kPathCapacity];     // the program file, D\vellox.exe
  char folder[kPathCapacity];          // D, without a trailing separator
  char deviceRegistry[kPathCapacity];  // D\printer\DEVICE.rgs
  char fontList[kPathCapacity];        // D\Tagwright.ini
  char fontFolder[kPathCapacity];      // D\FONT
  char printJournal[kPathCapacity];    // D\PrintJournal.csv
  char unmovedJobs[kPathCapacity];     // D\UnmovedJobs.txt
  char inkEstimates[kPathCapacity];    // D\InkEstimates.txt
};

// Environment variable naming a folder to use in place of the program's own
// (tests and side-by-side installations run from one build folder).
constexpr char kProgramFolderVariable[] = "VLX_PROGRAM_FOLDER";

// The program path to derive everything from: modulePath itself, or the same
// file name inside folderOverride when that is set and not empty. False when
// the result does not fit.
bool effectiveProgramPath(const char* modulePath, const char* folderOverride, char* out, std::size_t capacity);

// Fills paths and the path fields of state (environment file, hot, printed
// and printer folders) from the program path. False, with every path field
// left empty, when the program path has no folder or any path does not fit.
bool buildProgramPaths(const char* programPath, ProgramPaths* paths, AppState* state);

// Creates the hot folder and the printed-job folder; failures (an existing
// folder is the normal case) are ignored: later file work reports its own.
void createWorkFolders(const AppState& state);

}  // namespace vlx
