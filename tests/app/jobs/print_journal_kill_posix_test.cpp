// The print journal under a writer killed in the middle of its appends:
// every line read back is a whole record, and the next append after the
// kill is a whole line of its own.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "app/jobs/print_journal.h"
#include "platform/kill_writer_posix.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

JournalEntry attempt(int n) {
  JournalEntry e;
  e.started = e.ended = {2026, 12, 9, 10, 30, 5};
  e.title = "写真 " + std::to_string(n);
  e.file = "HotFolder\\" + std::to_string(n) + ".vjx";
  e.machine = "EPSON RX-3";
  e.outcome = JournalOutcome::Printed;
  e.pages = 1;
  e.inks = kJournalInks;
  for (int i = 0; i < kJournalInks; ++i) {
    e.inkNames[i] = "K" + std::to_string(i);
    e.inkPicolitres[i] = 1000000000LL * n + i;
  }
  return e;
}

TEST(PrintJournalKill, AWriterKilledMidAppendLeavesOnlyWholeRecordsAndTheNextAppendWhole) {
  testing_support::ScratchFolder folder;
  const std::string path = folder.join("PrintJournal.csv");
  useJournalFile(path.c_str());
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> moment(0, 3000);
  constexpr int kKills = 40;
  for (int kill = 0; kill < kKills; ++kill) {
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Ready once appending runs at its pace (a forked child's first steps are slow).
      appendJournal(attempt(1));
      const char ready = 1;
      if (::write(started[1], &ready, 1) != 1) ::_exit(2);
      for (int n = 2;; ++n) appendJournal(attempt(n));
    }
    char ready = 0;
    ASSERT_EQ(::read(started[0], &ready, 1), 1);
    ::close(started[0]);
    ::close(started[1]);
    ::usleep(static_cast<useconds_t>(moment(random)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    useJournalFile(path.c_str());
    ASSERT_TRUE(appendJournal(attempt(-1 - kill))) << "an append after the kill";
  }

  // Every line that reads is the record that was written, to the byte.
  const std::vector<unsigned char> bytes = testing_support::fileBytes(path);
  std::string text(bytes.begin(), bytes.end()), line;
  int whole = 0, torn = 0, markers = 0;
  for (char c : text) {
    if (c != '\n') {
      line += c;
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    JournalEntry e;
    if (parseJournalLine(line, &e)) {
      const int n = std::stoi(e.file.substr(e.file.find('\\') + 1));
      EXPECT_EQ(formatJournalLine(attempt(n)), line);
      ++whole;
      markers += n < 0;
    } else {
      ++torn;
    }
    line.clear();
  }
  EXPECT_TRUE(line.empty()) << "the file ends with a line end";
  EXPECT_EQ(markers, kKills) << "every append after a kill reads back";
  EXPECT_LE(torn, kKills + 1) << "at most the header and one cut line per kill";
  EXPECT_GT(whole, kKills);
  useJournalFile(nullptr);
}

}  // namespace
}  // namespace vlx
