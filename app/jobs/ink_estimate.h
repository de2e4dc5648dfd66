// A job's ink as a dry run through the driver counts it, set against the
// machine's ink account: what each of the eight inks takes, what that is of
// what remains in its cartridge, and whether the job would take an ink below
// its warning threshold or past what remains.
//
// The account's own rules are used: volumes are counted in picolitres; the
// correction rate scales counted volumes into what a cartridge really gives
// (100 % = as counted); what remains is the capacity less the corrected use
// so far; the warning threshold is a share of the capacity.
#pragma once

#include <cstddef>
#include <cstdint>

#include "PrintDriver.h"

namespace vlx {

constexpr int kEstimateInks = 8;

struct InkEstimate {
  InkEntry account[kEstimateInks];     // the account as it stood
  uint64_t picolitres[kEstimateInks];  // the job's ink, as the account would add it
};

enum class InkLevel { kEnough, kBelowWarning, kPastRemaining };

struct InkOutlook {
  int64_t jobPicolitres;        // corrected
  int64_t remainingPicolitres;  // corrected, before the job; never below 0
  double jobMl;
  double sharePercent;  // of what remains; 0 when nothing is used, 100+ past it
  InkLevel level;
};

InkOutlook inkOutlook(const InkEntry& account, uint64_t jobPicolitres);
// The worst level over the inks the job uses.
InkLevel worstInkLevel(const InkEstimate& estimate);

// One line per ink the job uses ("C    1.234 ml  残量の 0.6%"), joined by
// CR LF; a job that uses no ink says so. False when out is too small (out
// then holds what fitted, cut at a line).
bool formatInkEstimate(const InkEstimate& estimate, char* out, std::size_t capacity);
// The names of the inks at level or worse, comma-separated ("C, Lm").
void inkNamesAtLevel(const InkEstimate& estimate, InkLevel level, char* out, std::size_t capacity);

// The texts of the warning before a print: the question of manual mode and
// the status bar's line in auto-print mode. Empty when the job fits.
void inkWarningQuestion(const InkEstimate& estimate, char* out, std::size_t capacity);
void inkWarningStatus(const InkEstimate& estimate, char* out, std::size_t capacity);

}  // namespace vlx
