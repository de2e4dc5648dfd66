#include "app/shell/program_paths.h"

#include <cstring>

#include "platform/folders.h"
#include "platform/path.h"

namespace vlx {
namespace {

constexpr char kEnvironmentExtension[] = ".ENV";
constexpr char kHotFolderName[] = "HotFolder";
constexpr char kPrintedFolderName[] = "MoveFolder";
constexpr char kPrinterFolderName[] = "printer";
constexpr char kDeviceRegistryName[] = "DEVICE.rgs";
constexpr char kFontListName[] = "Tagwright.ini";
constexpr char kFontFolderName[] = "FONT";
constexpr char kPrintJournalName[] = "PrintJournal.csv";
constexpr char kUnmovedJobsName[] = "UnmovedJobs.txt";
constexpr char kInkEstimatesName[] = "InkEstimates.txt";

// head + tail into out; false (out empty) when it does not fit.
bool concatenate(char* out, std::size_t capacity, const char* head, const char* tail) {
  const std::size_t headLength = std::strlen(head);
  const std::size_t tailLength = std::strlen(tail);
  if (headLength + tailLength + 1 > capacity) {
    if (capacity > 0) out[0] = '\0';
    return false;
  }
  std::memmove(out, head, headLength);
  std::memcpy(out + headLength, tail, tailLength + 1);
  return true;
}

// The program path without its extension, plus ".ENV".
bool environmentPathOf(const char* programPath, char* out, std::size_t capacity) {
  char base[kPathCapacity];
  if (!platform::copyString(base, sizeof base, programPath)) return false;
  platform::cutExtension(base);
  return concatenate(out, capacity, base, kEnvironmentExtension);
}

void clearPaths(ProgramPaths* paths, AppState* state) {
  std::memset(paths, 0, sizeof *paths);
  state->environmentPath[0] = '\0';
  state->hotFolder[0] = '\0';
  state->printedFolder[0] = '\0';
  state->printerFolder[0] = '\0';
}

}  // namespace

bool effectiveProgramPath(const char* modulePath, const char* folderOverride, char* out, std::size_t capacity) {
  if (modulePath == nullptr || out == nullptr) return false;
  if (folderOverride == nullptr || folderOverride[0] == '\0') {
    return platform::copyString(out, capacity, modulePath);
  }
  char folder[kPathCapacity];
  if (!platform::copyString(folder, sizeof folder, folderOverride)) {
    out[0] = '\0';
    return false;
  }
  platform::removeTrailingSeparators(folder);
  return platform::joinPath(out, capacity, folder, platform::fileNamePart(modulePath));
}

bool buildProgramPaths(const char* programPath, ProgramPaths* paths, AppState* state) {
  if (programPath == nullptr || paths == nullptr || state == nullptr) return false;
  clearPaths(paths, state);
  const bool built =
      platform::copyString(paths->programPath, kPathCapacity, programPath) &&
      platform::folderPart(programPath, paths->folder, kPathCapacity) && paths->folder[0] != '\0' &&
      environmentPathOf(programPath, state->environmentPath, sizeof state->environmentPath) &&
      platform::joinPath(state->hotFolder, sizeof state->hotFolder, paths->folder, kHotFolderName) &&
      platform::joinPath(state->printedFolder, sizeof state->printedFolder, paths->folder, kPrintedFolderName) &&
      platform::joinPath(state->printerFolder, sizeof state->printerFolder, paths->folder, kPrinterFolderName) &&
      platform::joinPath(paths->deviceRegistry, kPathCapacity, state->printerFolder, kDeviceRegistryName) &&
      platform::joinPath(paths->fontList, kPathCapacity, paths->folder, kFontListName) &&
      platform::joinPath(paths->fontFolder, kPathCapacity, paths->folder, kFontFolderName) &&
      platform::joinPath(paths->printJournal, kPathCapacity, paths->folder, kPrintJournalName) &&
      platform::joinPath(paths->unmovedJobs, kPathCapacity, paths->folder, kUnmovedJobsName) &&
      platform::joinPath(paths->inkEstimates, kPathCapacity, paths->folder, kInkEstimatesName);
  if (!built) clearPaths(paths, state);
  return built;
}

void createWorkFolders(const AppState& state) {
  if (state.hotFolder[0] != '\0') platform::createFolder(state.hotFolder);
  if (state.printedFolder[0] != '\0') platform::createFolder(state.printedFolder);
}

}  // namespace vlx
