#include "app/jobs/journal_texts.h"

#include <cstdio>

#include "platform/path.h"

namespace vlx {
namespace {

std::string dayAndMinute(const platform::LocalTime& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%d/%02d/%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
  return text;
}

std::string clock(const platform::LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

}  // namespace

std::string attemptStateText(const JournalEntry& entry) {
  std::string text = std::string(outcomeText(entry.outcome)) + " " + dayAndMinute(entry.ended);
  if (!entry.reason.empty()) text += " " + entry.reason;
  return text;
}

void journalStateText(const char* path, char* out, std::size_t capacity) {
  if (!out || capacity == 0) return;
  JournalEntry entry;
  platform::copyTruncated(out, capacity, lastAttemptAt(path, &entry) ? attemptStateText(entry).c_str() : "");
}

std::string attemptHistoryText(const std::vector<JournalEntry>& entries) {
  std::string text;
  for (const JournalEntry& e : entries) {
    if (!text.empty()) text += "\r\n";
    char line[160];
    std::snprintf(line, sizeof line, "%s (%s-%s)  %s  %dﾍﾟｰｼﾞ  %.3fm2", dayAndMinute(e.started).c_str(),
                  clock(e.started).c_str(), clock(e.ended).c_str(), outcomeText(e.outcome), e.pages,
                  e.areaSquareMetres);
    text += line;
    if (!e.device.empty() || !e.port.empty()) text += "\r\n  " + e.device + "  " + e.port;
    if (!e.reason.empty()) text += "\r\n  " + e.reason;
  }
  return text;
}

}  // namespace vlx
