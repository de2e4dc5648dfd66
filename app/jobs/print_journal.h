// The shop's print journal: one line per print attempt (and per file turned
// away at intake), appended to a CSV file of the installation folder that a
// spreadsheet opens (UTF-8 with a byte-order mark and a header line). Each
// line goes to the disk in one write; a line cut short by a crash is never
// read back, and the next append starts on a line of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Draw.h"
#include "platform/file.h"

namespace vlx {

enum class JournalOutcome { Printed, Failed, Cancelled, Rejected };

constexpr int kJournalInks = 8;

// Texts are CP932, as everywhere in the program; the file holds them as UTF-8.
struct JournalEntry {
  platform::LocalTime started{};
  platform::LocalTime ended{};
  std::string title;
  std::string file;     // the job's file when the attempt began
  std::string movedTo;  // where the file went afterwards; empty when it stayed
  std::string machine, device, port;
  std::string resolution, inkSet;
  JournalOutcome outcome = JournalOutcome::Printed;
  std::string reason;  // empty for a job that printed and moved
  int pages = 0;
  double areaSquareMetres = 0;
  int inks = 0;  // entries below that are the machine's
  std::string inkNames[kJournalInks];
  int64_t inkPicolitres[kJournalInks] = {};
};

// The resolution ("720x720 dpi"), the ink set in the printer settings'
// words and the pages of a print, as the drawing library reports them; left
// as they are when it reports none.
void takePrintReport(const jPrintReport& report, JournalEntry* entry);

// The journal file (empty: no journal). Reads what is there for the lookups.
void useJournalFile(const char* path);
const std::string& journalFile();
// Appends one line; false when the file could not take it.
bool appendJournal(const JournalEntry& entry);

// The outcome word of the printed list ("印刷済み", "失敗", "中断", "却下").
const char* outcomeText(JournalOutcome outcome);
// The last attempt that left its file at path (its moved-to name, or its
// own when it stayed): false when the journal has none.
bool lastAttemptAt(const char* path, JournalEntry* entry);
// Every line of the journal about the file at path (as file or moved-to
// name), oldest first.
std::vector<JournalEntry> journalEntriesFor(const char* path);

// One line of the file as written (UTF-8, without its line end), and back.
std::string formatJournalLine(const JournalEntry& entry);
bool parseJournalLine(const std::string& utf8, JournalEntry* entry);

}  // namespace vlx
