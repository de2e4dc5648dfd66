// The settings that the environment dialog edits, as a working copy taken
// from the application state and written back only when the user confirms;
// and the rules the dialog applies to what the user typed or chose.
#pragma once

#include <cstdint>

#include "Draw.h"
#include "app/shell/app_state.h"

namespace vlx {

constexpr int32_t kHoldJobsMin = 0;
constexpr int32_t kHoldJobsMax = 100;
// The count edit is read up to this many characters.
constexpr int kHoldJobsTextLimit = 4;

struct EnvironmentCopy {
  int32_t autoPrint;
  int32_t holdJobs;
  jProfileBlock profiles;  // RGB path, CMYK path, intent: the profile dialog's block
};

EnvironmentCopy environmentCopyOf(const AppState& state);

// OK: the colour setting is applied through the drawing library; when it is
// refused both paths are emptied (the intent stays). The copy is then
// written back into the state.
void applyEnvironmentCopy(AppState* state, EnvironmentCopy copy);

// The count as typed: at most the first kHoldJobsTextLimit characters,
// optional leading blanks and sign, then digits (0 without digits), clamped
// to kHoldJobsMin..kHoldJobsMax.
int32_t holdJobsFromText(const char* text);
// The count after the user left the edit: the stored value when the text is
// still what the dialog showed for it (a HOLDJOB outside the range, -1 =
// keep everything, survives an OK that did not touch it), else the text's.
int32_t holdJobsAfterEdit(const char* text, int32_t stored);

// Lowering the count below the printed jobs held deletes the files of the
// oldest at the next scan: how many, 0 when nothing would go.
int printedJobsToDelete(int32_t oldHoldJobs, int32_t newHoldJobs, int printedJobs);
constexpr char kHoldJobsQuestion[] =
    "印刷済みｼﾞｮﾌﾞの保存数を %d にすると、古い印刷済みｼﾞｮﾌﾞ %d 件のﾌｧｲﾙが削除されます。よろしいですか？";

// The profile dialog confirmed block: a pair with either path empty is no
// pair, so both are emptied.
void acceptProfileChoice(EnvironmentCopy* copy, const jProfileBlock& chosen);

// Display name of a rendering intent 0..3; null for any other value.
const char* intentName(int32_t intent);
// The text of the intent label: the intent's name while an RGB profile is
// set, else empty.
const char* intentLabel(const jProfileBlock& profiles);

}  // namespace vlx
