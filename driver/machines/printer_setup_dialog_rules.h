// The rules of the printer setup dialog without any window: the paper list
// of a machine row (reload, select, add, edit, delete, each change saved at
// once), the list texts and the resolution a paper's name asks for.
#pragma once

#include <cstddef>

#include "driver/machines/machine_state.h"
#include "driver/machines/machine_table.h"

namespace rx3 {

constexpr int kInkSetChoices = 2;
constexpr int kMarginChoices = 4;
extern const char* const kInkSetTexts[kInkSetChoices];
extern const char* const kMarginTexts[kMarginChoices];

// Number of resolution entries of a row (at most four, ending at x = 0).
int resolutionCount(const MachineInfo& row);
// "%d x %d" of entry i.
void resolutionText(const MachineInfo& row, int i, char* out, std::size_t capacity);
// The entry equal to (x, y), else 0.
int resolutionIndexOf(const MachineInfo& row, int x, int y);
// The list text of a paper: "*" before the name of a built-in paper.
void paperText(const ColorProfile& paper, char* out, std::size_t capacity);

// Reloads the row's papers of an ink set from its file (all 50 slots reset
// first); the new count.
int reloadPapers(MachineInfo* row, const char* folder, int inkSet);

// The paper at index becomes the state's profile, with its colour files
// beside the plug-in. False (nothing changed) when there is no such paper.
// *resolution is the last resolution entry whose "(XxY)" occurs in the
// paper's name, or -1.
bool selectPaper(const MachineInfo& row, MachineState* state, const char* folder, int index, int* resolution);

enum class PaperChange {
  kDone,
  kBuiltIn,     // a built-in paper cannot be edited or deleted
  kFull,        // no more papers fit
  kLast,        // the last paper cannot be deleted
  kSaveFailed,  // the file could not be written: the list is as it was
};

// The working copy an addition starts from: the current paper, not built in,
// its name marked with "+" while that fits in 63 characters.
ColorProfile additionTemplate(const MachineState& state);
PaperChange canAddPaper(const MachineInfo& row);
PaperChange canEditPaper(const MachineState& state);
PaperChange canDeletePaper(const MachineInfo& row, const MachineState& state);

// Commits an edited (add = false) or added paper: the state's profile, the
// row's entry (colour files as bare names) and the file of the ink set.
PaperChange commitPaper(MachineInfo* row, MachineState* state, const char* folder, const ColorProfile& edited,
                        bool add);
// Deletes the paper at the state's profileIndex and saves the list.
PaperChange deletePaper(MachineInfo* row, MachineState* state, const char* folder);

}  // namespace rx3
