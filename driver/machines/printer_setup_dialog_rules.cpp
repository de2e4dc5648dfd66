#include "driver/machines/printer_setup_dialog_rules.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Base.h"
#include "driver/machines/machine_records.h"
#include "platform/path.h"

namespace rx3 {

const char* const kInkSetTexts[kInkSetChoices] = {"ﾌｫﾄﾌﾞﾗｯｸ + ｸﾞﾚｰ", "ﾏｯﾄﾌﾞﾗｯｸ + ｸﾞﾚｰ"};
const char* const kMarginTexts[kMarginChoices] = {"ﾌﾁあり", "左右ﾌﾁなし", "四辺ﾌﾁなし 1ｶｯﾄ", "四辺ﾌﾁなし 2ｶｯﾄ"};

namespace {

constexpr std::size_t kAdditionNameLimit = 63;

// What a list change must put back when its file cannot be written.
struct PaperSnapshot {
  ColorProfile profiles[J_MAX_PROFILES];
  int32_t profileCount;
  int32_t profileIndex;
  ColorProfile profile;
};

PaperSnapshot* takeSnapshot(const MachineInfo& row, const MachineState& state) {
  auto* snapshot = static_cast<PaperSnapshot*>(std::malloc(sizeof(PaperSnapshot)));
  if (!snapshot) return nullptr;
  std::memcpy(snapshot->profiles, row.profiles, sizeof row.profiles);
  snapshot->profileCount = row.profileCount;
  snapshot->profileIndex = state.profileIndex;
  snapshot->profile = state.profile;
  return snapshot;
}

void restoreSnapshot(const PaperSnapshot& snapshot, MachineInfo* row, MachineState* state) {
  std::memcpy(row->profiles, snapshot.profiles, sizeof row->profiles);
  row->profileCount = snapshot.profileCount;
  state->profileIndex = snapshot.profileIndex;
  state->profile = snapshot.profile;
}

// Writes the row's list; on failure the row and state go back to snapshot.
PaperChange saveOrRestore(MachineInfo* row, MachineState* state, const char* folder, PaperSnapshot* snapshot) {
  char path[platform::kMaxPath];
  bool saved = profileFilePath(path, folder, *row, state->inkSet) &&
               jColorSaveProfiles(path, row->profiles, row->profileCount) == 1;
  if (!saved) restoreSnapshot(*snapshot, row, state);
  std::free(snapshot);
  return saved ? PaperChange::kDone : PaperChange::kSaveFailed;
}

void withFullColourFiles(ColorProfile* paper, const char* folder) {
  rebaseColorFile(paper->colorFile1, folder);
  rebaseColorFile(paper->colorFile2, folder);
}

// The stored entry holds bare names; the field is cleared first so that no
// byte of the longer path is left behind it in the file.
void toBareName(char (&field)[260]) {
  char name[platform::kMaxPath];
  platform::copyTruncated(name, sizeof name, platform::fileNamePart(field));
  std::memset(field, 0, sizeof field);
  platform::copyTruncated(field, sizeof field, name);
}

void withBareColourFiles(ColorProfile* paper) {
  toBareName(paper->colorFile1);
  toBareName(paper->colorFile2);
}

}  // namespace

int resolutionCount(const MachineInfo& row) {
  int n = 0;
  while (n < 4 && row.resolutions[n].x != 0) ++n;
  return n;
}

void resolutionText(const MachineInfo& row, int i, char* out, std::size_t capacity) {
  std::snprintf(out, capacity, "%d x %d", row.resolutions[i].x, row.resolutions[i].y);
}

int resolutionIndexOf(const MachineInfo& row, int x, int y) {
  for (int i = 0; i < resolutionCount(row); ++i)
    if (row.resolutions[i].x == x && row.resolutions[i].y == y) return i;
  return 0;
}

void paperText(const ColorProfile& paper, char* out, std::size_t capacity) {
  std::snprintf(out, capacity, "%s%.63s", paper.fixed ? "*" : "", paper.name);
}

int reloadPapers(MachineInfo* row, const char* folder, int inkSet) {
  for (ColorProfile& slot : row->profiles) jColorProfileInit(&slot);
  char path[platform::kMaxPath];
  int count = profileFilePath(path, folder, *row, inkSet) ? jColorLoadProfiles(path, row->profiles, J_MAX_PROFILES) : 0;
  row->profileCount = count < 0 || count > J_MAX_PROFILES ? 0 : count;
  return row->profileCount;
}

bool selectPaper(const MachineInfo& row, MachineState* state, const char* folder, int index, int* resolution) {
  *resolution = -1;
  if (index < 0 || index >= row.profileCount) return false;
  state->profileIndex = index;
  state->profile = row.profiles[index];
  withFullColourFiles(&state->profile, folder);
  char name[sizeof state->profile.name + 1] = {};
  std::memcpy(name, state->profile.name, sizeof state->profile.name);
  for (int j = 0; j < resolutionCount(row); ++j) {
    char mark[32];
    std::snprintf(mark, sizeof mark, "(%dx%d)", row.resolutions[j].x, row.resolutions[j].y);
    if (jStrStr(name, mark)) *resolution = j;
  }
  return true;
}

ColorProfile additionTemplate(const MachineState& state) {
  ColorProfile paper = state.profile;
  paper.fixed = 0;
  paper.name[sizeof paper.name - 1] = '\0';
  if (std::strlen(paper.name) < kAdditionNameLimit) std::strcat(paper.name, "+");
  return paper;
}

PaperChange canAddPaper(const MachineInfo& row) {
  return row.profileCount >= J_MAX_PROFILES ? PaperChange::kFull : PaperChange::kDone;
}

PaperChange canEditPaper(const MachineState& state) {
  return state.profile.fixed ? PaperChange::kBuiltIn : PaperChange::kDone;
}

PaperChange canDeletePaper(const MachineInfo& row, const MachineState& state) {
  int index = state.profileIndex;
  if (index >= 0 && index < row.profileCount && row.profiles[index].fixed) return PaperChange::kBuiltIn;
  if (row.profileCount <= 1) return PaperChange::kLast;
  return PaperChange::kDone;
}

PaperChange commitPaper(MachineInfo* row, MachineState* state, const char* folder, const ColorProfile& edited,
                        bool add) {
  if (add && canAddPaper(*row) != PaperChange::kDone) return PaperChange::kFull;
  if (!add && (state->profileIndex < 0 || state->profileIndex >= row->profileCount)) return PaperChange::kLast;
  PaperSnapshot* snapshot = takeSnapshot(*row, *state);
  if (!snapshot) return PaperChange::kSaveFailed;
  if (add) state->profileIndex = row->profileCount++;
  state->profile = edited;
  ColorProfile entry = edited;
  withBareColourFiles(&entry);
  row->profiles[state->profileIndex] = entry;
  return saveOrRestore(row, state, folder, snapshot);
}

PaperChange deletePaper(MachineInfo* row, MachineState* state, const char* folder) {
  PaperChange allowed = canDeletePaper(*row, *state);
  if (allowed != PaperChange::kDone) return allowed;
  int index = state->profileIndex;
  if (index < 0 || index >= row->profileCount) return PaperChange::kLast;
  PaperSnapshot* snapshot = takeSnapshot(*row, *state);
  if (!snapshot) return PaperChange::kSaveFailed;
  std::memmove(&row->profiles[index], &row->profiles[index + 1],
               sizeof(ColorProfile) * static_cast<std::size_t>(row->profileCount - index - 1));
  --row->profileCount;
  jColorProfileInit(&row->profiles[row->profileCount]);
  if (state->profileIndex >= row->profileCount) --state->profileIndex;
  state->profile = row->profiles[state->profileIndex];
  withFullColourFiles(&state->profile, folder);
  return saveOrRestore(row, state, folder, snapshot);
}

}  // namespace rx3
