// The built-in papers of every machine and ink set, as profile records.
#pragma once

#include "Device.h"

namespace papers {

constexpr int kInkSets = 2;

// Base names of the machines' profile files, in machine-table order.
extern const char* const kCpfNames[6];

// Fills profiles with the built-in papers of a machine for an ink set
// (0 photo black, 1 matte black); returns how many.
int builtinPapers(const char* cpfName, int inkSet, ColorProfile* profiles, int max);

}  // namespace papers
