#include "app/shell/environment_file.h"

#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "Base.h"
#include "BaseD.h"
#include "Draw.h"
#include "platform/atomic_file.h"
#include "platform/file.h"
#include "platform/path.h"

namespace vlx {
namespace {

// Lines the writer produces can reach "PF_CMYK=" plus a 259-byte path, so
// the reader takes lines of up to 511 bytes: a profile path written at close
// must come back whole rather than cut to another file's name.
constexpr int kLineCapacity = 512;
// Lines shorter than this end the reading, like the end of the file.
constexpr int kShortestLine = 4;
// Lines 1-30 go through the drawing library, the rest through the base one.
constexpr int kLastDrawLine = 30;

enum class Kind { Flag, Number, Text, Path, Widths };

struct Setting {
  const char* key;  // with its "="
  Kind kind;
  std::size_t offset;    // field in AppState
  std::size_t capacity;  // Text/Path: bytes of the field; Widths: list index
};

constexpr Setting kSettings[] = {
    {"AUTOPRN=", Kind::Flag, offsetof(AppState, autoPrint), 0},
    {"HOLDJOB=", Kind::Number, offsetof(AppState, holdJobs), 0},
    {"PREVIEW=", Kind::Flag, offsetof(AppState, preview), 0},
    {"PRNNAME=", Kind::Text, offsetof(AppState, printerName), sizeof(AppState::printerName)},
    {"CLMWIDE=", Kind::Widths, offsetof(AppState, columnWidths), kPrintList},
    {"CLMWID2=", Kind::Widths, offsetof(AppState, columnWidths), kPrintedList},
    {"MAINRC1=", Kind::Number, offsetof(AppState, mainRect) + 0 * sizeof(int32_t), 0},
    {"MAINRC2=", Kind::Number, offsetof(AppState, mainRect) + 1 * sizeof(int32_t), 0},
    {"MAINRC3=", Kind::Number, offsetof(AppState, mainRect) + 2 * sizeof(int32_t), 0},
    {"MAINRC4=", Kind::Number, offsetof(AppState, mainRect) + 3 * sizeof(int32_t), 0},
    {"LISTRC1=", Kind::Number, offsetof(AppState, listRect) + 0 * sizeof(int32_t), 0},
    {"LISTRC2=", Kind::Number, offsetof(AppState, listRect) + 1 * sizeof(int32_t), 0},
    {"LISTRC3=", Kind::Number, offsetof(AppState, listRect) + 2 * sizeof(int32_t), 0},
    {"LISTRC4=", Kind::Number, offsetof(AppState, listRect) + 3 * sizeof(int32_t), 0},
    {"PF_RGB=", Kind::Path, offsetof(AppState, rgbProfile), sizeof(AppState::rgbProfile)},
    {"PF_CMYK=", Kind::Path, offsetof(AppState, cmykProfile), sizeof(AppState::cmykProfile)},
    {"PF_INTENT=", Kind::Number, offsetof(AppState, intent), 0},
    {"SETTLEWAIT=", Kind::Number, offsetof(AppState, settleWait), 0},
};

constexpr const char* kHeaderLines[] = {
    ";-----------------------------------------------",
    ";  Environment for Vellox format 3.0J   ",
    ";  Settings and window layout of vellox, rewritten at every close",
    ";-----------------------------------------------",
};

template <typename T>
T* fieldOf(AppState* state, const Setting& setting) {
  return reinterpret_cast<T*>(reinterpret_cast<char*>(state) + setting.offset);
}

template <typename T>
const T* fieldOf(const AppState* state, const Setting& setting) {
  return reinterpret_cast<const T*>(reinterpret_cast<const char*>(state) + setting.offset);
}

// The value's leading decimal integer: white space and one sign allowed, no
// digits gives 0. Out-of-range values stop at the int32 limits instead of
// overflowing.
int32_t leadingInteger(const char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > static_cast<long long>(INT32_MAX) + 1) value = static_cast<long long>(INT32_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<int32_t>(value);
}

// Two characters compared, so "ONLINE" counts as on and "1" as off.
int32_t flagValue(const char* text) {
  return platform::compareNoCaseN(text, "ON", 2) == 0 ? 1 : 0;
}

const Setting* settingOfLine(const char* line) {
  for (const Setting& setting : kSettings) {
    if (platform::compareNoCaseN(line, setting.key, std::strlen(setting.key)) == 0) return &setting;
  }
  return nullptr;
}

struct WidthCounters {
  int next[2] = {0, 0};
};

void storeValue(AppState* state, const Setting& setting, const char* value, WidthCounters* widths) {
  switch (setting.kind) {
    case Kind::Flag:
      *fieldOf<int32_t>(state, setting) = flagValue(value);
      break;
    case Kind::Number:
      *fieldOf<int32_t>(state, setting) = leadingInteger(value);
      break;
    case Kind::Text:
      platform::copyTruncated(fieldOf<char>(state, setting), setting.capacity, value);
      break;
    case Kind::Path: {
      // A path is never cut: a cut path names another file. One that does
      // not fit leaves the field as it was.
      char path[platform::kMaxPath];
      if (std::strlen(value) < setting.capacity && platform::copyString(path, sizeof path, value)) {
        std::memcpy(fieldOf<char>(state, setting), path, std::strlen(path) + 1);
      }
      break;
    }
    case Kind::Widths: {
      const int list = static_cast<int>(setting.capacity);
      if (widths->next[list] < kColumnCount) state->columnWidths[list][widths->next[list]++] = leadingInteger(value);
      break;
    }
  }
}

bool putLine(jFILE file, int lineNumber, const char* text) {
  const int written = lineNumber <= kLastDrawLine ? jFilePuts(file, text) : jFilesPuts(file, text);
  return written != 0;
}

// Formats the lines of one setting and writes them; lineNumber counts on.
bool putSetting(jFILE file, const AppState* state, const Setting& setting, int* lineNumber) {
  char line[kLineCapacity];
  bool ok = true;
  switch (setting.kind) {
    case Kind::Flag:
      std::snprintf(line, sizeof line, "%s%s", setting.key, *fieldOf<int32_t>(state, setting) == 1 ? "ON" : "OFF");
      return putLine(file, ++*lineNumber, line);
    case Kind::Number:
      std::snprintf(line, sizeof line, "%s%d", setting.key, static_cast<int>(*fieldOf<int32_t>(state, setting)));
      return putLine(file, ++*lineNumber, line);
    case Kind::Text:
    case Kind::Path: {
      const char* text = fieldOf<char>(state, setting);
      std::snprintf(line, sizeof line, "%s%.*s", setting.key, static_cast<int>(strnlen(text, setting.capacity - 1)),
                    text);
      return putLine(file, ++*lineNumber, line);
    }
    case Kind::Widths:
      for (int32_t width : state->columnWidths[setting.capacity]) {
        std::snprintf(line, sizeof line, "%s%d", setting.key, static_cast<int>(width));
        ok = putLine(file, ++*lineNumber, line) && ok;
      }
      return ok;
  }
  return false;
}

// folder + (one separator) + name into out; false, out untouched, when the
// result would not fit or there is no folder (a bare name would be looked
// up in whatever the current folder is).
bool profilePath(char* out, const char* folder, const char* name) {
  char path[platform::kMaxPath];
  if (!platform::copyString(path, sizeof path, folder) || path[0] == '\0') return false;
  if (!platform::endsWithSeparator(path)) {
    const char separator[2] = {platform::kSeparator, '\0'};
    if (std::strlen(path) + 1 >= sizeof path) return false;
    std::strcat(path, separator);
  }
  if (std::strlen(path) + std::strlen(name) >= sizeof path) return false;
  std::strcat(path, name);
  std::memcpy(out, path, std::strlen(path) + 1);
  return true;
}

}  // namespace

int readEnvironment(const char* path, AppState* state) {
  if (!path || !state || path[0] == '\0') return 0;
  platform::FileHandle file = platform::openFile(path, platform::OpenMode::ReadExclusive);
  if (!file) return 0;
  WidthCounters widths;
  char line[kLineCapacity];
  while (jFileGets(file, line, sizeof line, 1) >= kShortestLine) {
    if (line[0] == ';') continue;
    const Setting* setting = settingOfLine(line);
    if (setting) storeValue(state, *setting, line + std::strlen(setting->key), &widths);
  }
  platform::closeFile(file);
  return 1;
}

int writeEnvironment(const char* path, const AppState* state) {
  if (!path || !state || path[0] == '\0') return 0;
  // Written beside the file and put in its place in one step: a crash while
  // closing keeps the settings saved before.
  platform::AtomicFile file;
  if (!platform::beginAtomicFile(path, &file)) return 0;
  int lineNumber = 0;
  bool ok = true;
  for (const char* header : kHeaderLines) ok = putLine(file.file, ++lineNumber, header) && ok;
  for (const Setting& setting : kSettings) ok = putSetting(file.file, state, setting, &lineNumber) && ok;
  if (!ok) {
    platform::abandonAtomicFile(&file);
    return 0;
  }
  return platform::commitAtomicFile(&file) ? 1 : 0;
}

void applyEnvironment(AppState* state, const char* programFolder, ProfileSetup setup) {
  if (!state) return;
  // 64-bit arithmetic: a hand-edited rectangle must not overflow.
  const long long savedHeight = static_cast<long long>(state->listRect[3]) - state->listRect[1];
  if (savedHeight < kMinSavedListHeight) {
    state->listRect[1] = 0;
    state->listRect[3] = 0;
  }
  if (state->intent == -1) {
    // A folder too deep for the default names leaves the paths empty; the
    // drawing library then refuses the pair and the intent becomes 0 below.
    if (!programFolder || !profilePath(state->rgbProfile, programFolder, kDefaultRgbProfileName)) {
      state->rgbProfile[0] = '\0';
    }
    if (!programFolder || !profilePath(state->cmykProfile, programFolder, kDefaultCmykProfileName)) {
      state->cmykProfile[0] = '\0';
    }
    state->intent = 0;
  }
  if (!setup || setup(state->rgbProfile, state->cmykProfile, state->intent) == 0) {
    state->intent = 0;
    state->rgbProfile[0] = '\0';
    state->cmykProfile[0] = '\0';
  }
}

void applyEnvironment(AppState* state) {
  // A module folder that cannot be found, or that has no room left for its
  // separator, comes back empty; the default profiles are then refused.
  char folder[platform::kMaxPath] = {};
  jmtGetModuleDirectory(folder);
  jmtStrEndYen(folder, 1);
  applyEnvironment(state, folder, jCol2SetupProfile);
}

}  // namespace vlx
