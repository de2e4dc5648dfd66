// The print journal's file: what a spreadsheet reads (a byte-order mark, a
// header, one line per attempt, quoted fields), and a line cut short by a
// crash that neither reader nor the next append takes for a record.
#include "app/jobs/print_journal.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/scratch_folder.h"

namespace vlx {
namespace {

using testing_support::ScratchFolder;
using testing_support::writeBytes;

JournalEntry sample(const char* file) {
  JournalEntry e;
  e.started = {2026, 12, 9, 10, 30, 5};
  e.ended = {2026, 12, 9, 10, 31, 0};
  e.title = "写真, \"A3\"";
  e.file = file;
  e.machine = "EPSON RX-3";
  e.outcome = JournalOutcome::Failed;
  e.reason = "ﾎﾟｰﾄがﾀｲﾑｱｳﾄしました";
  e.inks = 2;
  e.inkNames[0] = "C";
  e.inkNames[1] = "Lm";
  e.inkPicolitres[0] = 1000000001;
  e.inkPicolitres[1] = 7;
  return e;
}

std::string readAll(const std::string& path) {
  std::string text;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  for (int c; f && (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  if (f) std::fclose(f);
  return text;
}

TEST(PrintJournal, LinesAreUtf8CsvAndATornLineIsNeverRead) {
  ScratchFolder folder;
  const std::string path = folder.join("journal.csv");
  useJournalFile(path.c_str());
  ASSERT_TRUE(appendJournal(sample("a.vjx")));
  const std::string first = readAll(path);
  EXPECT_EQ(first.rfind("\xEF\xBB\xBF", 0), 0u) << "a spreadsheet reads it as UTF-8";
  EXPECT_NE(first.find("\"\xE5\x86\x99\xE7\x9C\x9F, \"\"A3\"\"\""), std::string::npos) << "quoted, in UTF-8";
  EXPECT_NE(first.find(",1.000000001,"), std::string::npos) << "ml to the picolitre";

  // A crash in the middle of the next line's write.
  const std::string torn = first + formatJournalLine(sample("b.vjx")).substr(0, 40);
  ASSERT_TRUE(writeBytes(path, torn));
  useJournalFile(path.c_str());
  EXPECT_TRUE(journalEntriesFor("b.vjx").empty());
  ASSERT_TRUE(appendJournal(sample("c.vjx")));
  useJournalFile(path.c_str());
  const auto lines = journalEntriesFor("a.vjx");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].title, "写真, \"A3\"");
  EXPECT_EQ(lines[0].reason, "ﾎﾟｰﾄがﾀｲﾑｱｳﾄしました");
  EXPECT_EQ(lines[0].inkPicolitres[0], 1000000001);
  EXPECT_EQ(lines[0].inks, 2);
  EXPECT_EQ(journalEntriesFor("c.vjx").size(), 1u) << "the line after the torn one is whole";
  EXPECT_TRUE(journalEntriesFor("b.vjx").empty());
  useJournalFile(nullptr);
}

}  // namespace
}  // namespace vlx
