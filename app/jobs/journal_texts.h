// What the window shows of the print journal: the printed list's state
// column (the outcome of the job's last attempt and when it ended, with the
// reason of one that did not print) and the job properties' history (every
// attempt at the job, oldest first).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/jobs/print_journal.h"

namespace vlx {

// "失敗 2024/05/01 10:22 <reason>"; the reason only when there is one.
std::string attemptStateText(const JournalEntry& entry);
// The state column text of the job file at path; empty when the journal
// has no attempt that left the file there.
void journalStateText(const char* path, char* out, std::size_t capacity);
// One paragraph per attempt, CR LF between them.
std::string attemptHistoryText(const std::vector<JournalEntry>& entries);

}  // namespace vlx
