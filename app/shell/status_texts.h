// Texts of the main window's status bar, parts 1-3. Part 0 holds the
// progress bar. The window implements StatusBarPort over its status-bar
// control; the print worker and the job operations set texts through it.
#pragma once

#include <cstddef>

#include "app/shell/app_state.h"

namespace vlx {

enum StatusPart : int { kStatusActivity = 1, kStatusMode = 2, kStatusCounts = 3 };

constexpr char kIdleText[] = "待機中";
constexpr char kAutoPrintModeText[] = "自動印刷ﾓｰﾄﾞ";
constexpr char kManualModeText[] = "手動ﾓｰﾄﾞ";
constexpr char kCountsFormat[] = "印刷待ちｼﾞｮﾌﾞ数 : %d個     印刷済みｼﾞｮﾌﾞ数 : %d個";

// Right edges of parts 0-2; part 3 reaches the window edge (-1).
constexpr int kStatusPartEdges[] = {130, 350, 450, -1};

class StatusBarPort {
 public:
  virtual ~StatusBarPort() = default;
  virtual void setPartText(int part, const char* text) = 0;
};

// What the default texts depend on.
struct StatusFacts {
  bool printRunning;
  int autoPrint;                    // the auto-print flag
  int printJobs;                    // jobs in the print list
  int printedJobs;                  // jobs in the printed list
  const char* inkNotice = nullptr;  // the printing job's ink warning, shown after the counts
};

// The facts of the application: its auto-print flag and both job counts.
StatusFacts statusFactsOf(const AppState& state, bool printRunning);

// The text part shows for a given text (null: its default). False when the
// part keeps its text: an activity refresh without text while a print runs
// leaves the last progress text, and parts outside 1-3 have none.
bool statusPartText(int part, const char* given, const StatusFacts& facts, char* out, std::size_t capacity);

// Sets the part's text through the port, unless the part keeps its text.
void updateStatusPart(StatusBarPort* bar, int part, const char* given, const StatusFacts& facts);

}  // namespace vlx
