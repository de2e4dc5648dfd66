#include "app/shell/status_texts.h"

#include <cstdio>
#include <cstring>

#include "app/jobs/job_list.h"
#include "platform/path.h"

namespace vlx {

StatusFacts statusFactsOf(const AppState& state, bool printRunning) {
  return {printRunning, state.autoPrint, countJobs(listHead(&state, kPrintList)),
          countJobs(listHead(&state, kPrintedList)), nullptr};
}

bool statusPartText(int part, const char* given, const StatusFacts& facts, char* out, std::size_t capacity) {
  if (!out || capacity == 0) return false;
  if (given) {
    if (part < kStatusActivity || part > kStatusCounts) return false;
    platform::copyTruncated(out, capacity, given);
    return true;
  }
  switch (part) {
    case kStatusActivity:
      if (facts.printRunning) return false;
      platform::copyTruncated(out, capacity, kIdleText);
      return true;
    case kStatusMode:
      platform::copyTruncated(out, capacity, facts.autoPrint != 0 ? kAutoPrintModeText : kManualModeText);
      return true;
    case kStatusCounts:
      std::snprintf(out, capacity, kCountsFormat, facts.printJobs, facts.printedJobs);
      if (facts.inkNotice && facts.inkNotice[0]) {
        const std::size_t used = std::strlen(out);
        std::snprintf(out + used, capacity - used, "     %s", facts.inkNotice);
      }
      return true;
    default:
      return false;
  }
}

void updateStatusPart(StatusBarPort* bar, int part, const char* given, const StatusFacts& facts) {
  char text[256];
  if (bar && statusPartText(part, given, facts, text, sizeof text)) bar->setPartText(part, text);
}

}  // namespace vlx
