// Folder scans and job files over real folders, with the fake drawing
// library: what is listed, what is left alone, what is deleted, the spool
// names, and the printed list's order and length.
#include "app/jobs/folder_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/fake_draw.h"
#include "app/jobs/intake_watch.h"
#include "app/jobs/job_files.h"
#include "app/jobs/job_list.h"
#include "app/jobs/job_queries.h"
#include "app/jobs/print_journal.h"
#include "job_lists_support.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

using testing_support::ScratchFolder;
using testing_support::writeBytes;

std::int64_t g_now = 0;

class FolderScan : public ::testing::Test {
 protected:
  void SetUp() override {
    useWatchClock([] { return g_now; });
    forgetSeenFiles();
    hot = folder.join("HotFolder");
    printed = folder.join("MoveFolder");
    platform::createFolder(hot.c_str());
    platform::createFolder(printed.c_str());
    platform::copyString(lists.state.hotFolder, sizeof lists.state.hotFolder, hot.c_str());
    platform::copyString(lists.state.printedFolder, sizeof lists.state.printedFolder, printed.c_str());
    lists.state.holdJobs = 20;
  }
  void TearDown() override {
    forgetSeenFiles();
    useWatchClock(nullptr);
  }

  std::string inHot(const std::string& name) const { return hot + platform::kSeparator + name; }
  // A scan at the current time, then one a settling time later.
  void scanTwice() {
    scanHotFolder(&lists.state);
    g_now += kSettleMilliseconds;
    scanHotFolder(&lists.state);
  }
  std::vector<std::string> listedNames(int listIndex = kPrintList) const {
    std::vector<std::string> names;
    for (JobRecord* r = nextOf(lists.head(listIndex)); r; r = nextOf(r))
      names.push_back(platform::fileNamePart(r->path));
    return names;
  }

  JobRecord* findJob(const std::string& path) { return findJobByPath(&lists.state, kPrintList, path.c_str()); }

  fake::UseFakeDraw draw;
  ScratchFolder folder;
  std::string hot, printed;
  TestLists lists;
};

TEST_F(FolderScan, SubFoldersAreNeitherListedNorDeleted) {
  ASSERT_TRUE(platform::createFolder(inHot("sub").c_str()));
  ASSERT_TRUE(writeBytes(inHot("a.job"), "JOB a"));
  scanTwice();
  EXPECT_EQ(listedNames(), std::vector<std::string>{"a.job"});
  EXPECT_TRUE(platform::isFolder(inHot("sub").c_str()));
}

TEST_F(FolderScan, AFileCutShortWaitsForItsWriterThenIsSetAsideWithItsReason) {
  // Copies, FTP and share uploads close the file between pieces: a file that
  // ends before its job does is not finished, and only one that stays so for
  // the set time is set aside. One that is written on meanwhile is taken whole.
  const std::string journal = folder.join("journal.csv");
  useJournalFile(journal.c_str());
  lists.state.settleWait = 60;
  const struct {
    const char* name;
    const char* content;
    const char* finished;  // written before the wait is up; null: never
    const char* reason;    // part of the journal's reason when set aside
  } cases[] = {
      {"empty.vjx", "", nullptr, "空のﾌｧｲﾙ"},
      {"begun.vjx", "JO", nullptr, "途中で終わって"},
      {"cut.vjx", "JOB CUT at a chunk", nullptr, "途中で終わって"},
      {"slow.vjx", "JOB CUT", "JOB whole at last", nullptr},
      {"late.vjx", "", "JOB written after a pause", nullptr},
  };
  for (const auto& c : cases) ASSERT_TRUE(writeBytes(inHot(c.name), c.content));
  for (int second = 0; second < 59; ++second) {
    scanHotFolder(&lists.state);
    g_now += 1000;
    if (second != 30) continue;
    for (const auto& c : cases) {
      if (c.finished) {
        ASSERT_TRUE(writeBytes(inHot(c.name), c.finished));
      }
    }
  }
  std::vector<std::string> listed = listedNames();
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"late.vjx", "slow.vjx"}));
  for (const auto& c : cases) {
    if (!c.finished) {
      EXPECT_TRUE(platform::pathExists(inHot(c.name).c_str())) << c.name << " within the wait";
    }
  }
  g_now += 2000;
  scanHotFolder(&lists.state);
  for (const auto& c : cases) {
    if (c.finished) continue;
    SCOPED_TRACE(c.name);
    const std::string setAside = hot + platform::kSeparator + kRejectedFolderName + platform::kSeparator + c.name;
    EXPECT_FALSE(platform::pathExists(inHot(c.name).c_str()));
    JournalEntry entry;
    ASSERT_TRUE(lastAttemptAt(setAside.c_str(), &entry));
    EXPECT_EQ(entry.outcome, JournalOutcome::Rejected);
    EXPECT_NE(entry.reason.find(c.reason), std::string::npos) << entry.reason;
  }
  EXPECT_EQ(filesSettling(), 0);
  useJournalFile(nullptr);
}

TEST_F(FolderScan, AListedFileIsNotAddedAgainWhateverItsLetterCase) {
  ASSERT_TRUE(writeBytes(inHot("a.job"), "JOB a"));
  lists.add(inHot("A.JOB").c_str());
  scanTwice();
  scanTwice();
  EXPECT_EQ(countJobs(lists.head()), 1);
}

TEST_F(FolderScan, AFileIsTakenOnlyAfterASettledSecondLook) {
  ASSERT_TRUE(writeBytes(inHot("a.job"), "JOB a"));
  scanHotFolder(&lists.state);
  EXPECT_EQ(countJobs(lists.head()), 0) << "first sight";
  EXPECT_EQ(filesSettling(), 1) << "the window looks again soon";
  g_now += kSettleMilliseconds - 1;
  scanHotFolder(&lists.state);
  EXPECT_EQ(countJobs(lists.head()), 0) << "too soon";
  g_now += 1;
  scanHotFolder(&lists.state);
  EXPECT_EQ(countJobs(lists.head()), 1);
  EXPECT_EQ(filesSettling(), 0);
}

TEST_F(FolderScan, ASettledFileThatCannotBeTakenYetIsLookedAtAloneLessAndLessOften) {
  fake::library().noDevicePort = true;  // and no device registry: not now, later
  ASSERT_TRUE(writeBytes(inHot("held.job"), "JOB held"));
  scanHotFolder(&lists.state);
  ASSERT_TRUE(writeBytes(inHot("later.job"), "JOB later"));
  std::vector<int> pauses{settleCheckDelay()};
  while (pauses.back() >= 0 && pauses.size() < 8) {
    g_now += pauses.back();
    EXPECT_EQ(recheckSettling(&lists.state), 0);
    pauses.push_back(settleCheckDelay());
  }
  EXPECT_EQ(pauses, (std::vector<int>{1000, 1000, 2000, 4000, 8000, -1})) << "then only the scans look";
  EXPECT_EQ(filesSettling(), 1) << "the looks never listed the folder";

  fake::library().noDevicePort = false;
  scanHotFolder(&lists.state);
  EXPECT_EQ(listedNames(), std::vector<std::string>{"held.job"});
  g_now += settleCheckDelay();
  EXPECT_EQ(recheckSettling(&lists.state), 1 << kPrintList) << "the new file, settled, at its own look";
  EXPECT_EQ(listedNames(), (std::vector<std::string>{"held.job", "later.job"}));
  EXPECT_EQ(settleCheckDelay(), -1);
}

TEST_F(FolderScan, AHalfWrittenFileSurvivesScansUntilItIsComplete) {
  // A host writes the job in pieces; none of the pieces is a loadable job,
  // so taking the file early would delete it.
  const std::string path = inHot("big.job");
  const std::string pieces[] = {"J", "JO", "JOB part", "JOB part and more"};
  for (const std::string& piece : pieces) {
    ASSERT_TRUE(writeBytes(path, piece));
    scanHotFolder(&lists.state);
    g_now += kSettleMilliseconds / 2;
    scanHotFolder(&lists.state);
    ASSERT_TRUE(platform::pathExists(path.c_str())) << piece;
    ASSERT_EQ(countJobs(lists.head()), 0) << piece;
    g_now += kSettleMilliseconds / 2;
  }
  g_now += kSettleMilliseconds;
  scanHotFolder(&lists.state);
  EXPECT_EQ(listedNames(), std::vector<std::string>{"big.job"});
}

TEST_F(FolderScan, AFileThatIsNoJobIsSetAsideWithItsReasonAndNothingIsDeleted) {
  const std::string journal = folder.join("journal.csv");
  useJournalFile(journal.c_str());
  const std::string printer = folder.join("printer");
  platform::createFolder(printer.c_str());
  platform::copyString(lists.state.printerFolder, sizeof lists.state.printerFolder, printer.c_str());
  const struct {
    const char* name;
    const char* content;
    bool noDevicePort;
    bool registry;       // the installation's DEVICE.rgs can be read
    bool rejected;       // else it stays in the hot folder for a later scan
    const char* reason;  // part of the journal's reason
  } cases[] = {
      {"junk.bin", "not a job", false, true, true, "ｼﾞｮﾌﾞﾌｧｲﾙとして読めません"},
      {"far.vjx", "JOB with an item at x1 = 1e30 (OFFPAGE)", false, true, true, "ﾍﾟｰｼﾞに収まらない座標"},
      {"rx9.vjx", "JOB for a machine the installation lacks", true, true, true, "RX3-1600"},
      {"waits.vjx", "JOB while the device registry is missing", true, false, false, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake::library().noDevicePort = c.noDevicePort;
    const std::string registry = printer + platform::kSeparator + "DEVICE.rgs";
    if (c.registry) {
      ASSERT_TRUE(writeBytes(registry, "DEVICE\tRX-3 file\tRX3.dll\tRX3-1600\tFILE:\r\n"));
    } else {
      platform::deleteFile(registry.c_str());
    }
    ASSERT_TRUE(writeBytes(inHot(c.name), c.content));
    scanTwice();
    scanTwice();
    EXPECT_EQ(countJobs(lists.head()), 0);
    const std::string setAside = hot + platform::kSeparator + kRejectedFolderName + platform::kSeparator + c.name;
    EXPECT_EQ(platform::pathExists(setAside.c_str()), c.rejected);
    EXPECT_EQ(platform::pathExists(inHot(c.name).c_str()), !c.rejected) << "never deleted";
    JournalEntry entry;
    EXPECT_EQ(lastAttemptAt(setAside.c_str(), &entry), c.rejected);
    if (c.rejected) {
      EXPECT_EQ(entry.outcome, JournalOutcome::Rejected);
      EXPECT_NE(entry.reason.find(c.reason), std::string::npos) << entry.reason;
      EXPECT_EQ(entry.file, inHot(c.name));
    }
  }
  // The registry back: the waiting job is taken.
  fake::library().noDevicePort = false;
  scanTwice();
  EXPECT_EQ(listedNames(), std::vector<std::string>{"waits.vjx"});
  useJournalFile(nullptr);
}

TEST_F(FolderScan, ANameTooLongForAPathIsSetAsideUnderACutNameWithItsReason) {
  const std::string journal = folder.join("journal.csv");
  useJournalFile(journal.c_str());
  const std::string name = std::string(262 - hot.size() - 1 - 4, 'n') + ".vjx";
  if (!writeBytes(inHot(name), "JOB a job no record can name")) GTEST_SKIP() << "file system refuses the name";
  ASSERT_EQ(inHot(name).size(), 262u);
  scanHotFolder(&lists.state);
  EXPECT_TRUE(platform::pathExists(inHot(name).c_str())) << "not before it has settled";
  g_now += kSettleMilliseconds;
  EXPECT_EQ(recheckSettling(&lists.state), 0);
  EXPECT_EQ(countJobs(lists.head()), 0);
  EXPECT_FALSE(platform::pathExists(inHot(name).c_str()));
  const std::vector<JournalEntry> lines = journalEntriesFor(inHot(name).c_str());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].outcome, JournalOutcome::Rejected);
  EXPECT_NE(lines[0].reason.find("ﾊﾟｽが長すぎます（262文字"), std::string::npos) << lines[0].reason;
  EXPECT_TRUE(platform::pathExists(lines[0].movedTo.c_str())) << lines[0].movedTo;
  EXPECT_LT(lines[0].movedTo.size(), kJobPathSize);
  EXPECT_TRUE(platform::endsWithNoCase(lines[0].movedTo.c_str(), ".vjx"));
  useJournalFile(nullptr);
}

TEST_F(FolderScan, OwnSpoolFilesAreKnownByTheirExtension) {
  const struct {
    const char* name;
    uint32_t kind;
  } cases[] = {{"a.VJX", kOwnSpoolFileKind}, {"b.vjx", kOwnSpoolFileKind}, {"a.dat", 0}, {"vjx.dat", 0}};
  for (const auto& c : cases) ASSERT_TRUE(writeBytes(inHot(c.name), "JOB"));
  scanTwice();
  ASSERT_EQ(countJobs(lists.head()), 4);
  for (const auto& c : cases) {
    JobRecord* r = findJob(inHot(c.name));
    ASSERT_NE(r, nullptr) << c.name;
    EXPECT_EQ(r->fileKind, c.kind) << c.name;
    EXPECT_EQ(r->fileSize, 3u);
  }
}

TEST_F(FolderScan, SpoolNamesTakeTheLowestFreeNumber) {
  const struct {
    std::vector<const char*> present;
    const char* expected;
  } cases[] = {
      {{}, "VLX0000.vjx"},
      {{"VLX0000.vjx", "VLX0002.vjx"}, "VLX0001.vjx"},
      {{"VLX0000.vjx", "VLX0001.vjx"}, "VLX0002.vjx"},
  };
  for (const auto& c : cases) {
    ScratchFolder target;
    for (const char* name : c.present) ASSERT_TRUE(writeBytes(target.join(name), "x"));
    char out[260];
    ASSERT_EQ(makeSpoolName(target.path().c_str(), out, sizeof out), 1);
    EXPECT_EQ(std::string(out), target.join(c.expected));
    const std::string withSeparator = target.path() + platform::kSeparator;
    ASSERT_EQ(makeSpoolName(withSeparator.c_str(), out, sizeof out), 1);
    EXPECT_EQ(std::string(out), target.join(c.expected)) << "one separator only";
  }
  char small[16];
  EXPECT_EQ(makeSpoolName(hot.c_str(), small, sizeof small), 0) << "a name that does not fit";
  EXPECT_STREQ(small, "");
}

TEST_F(FolderScan, MovesGiveSpoolNamesAndSurviveVanishedFilesAndMissingFolders) {
  ASSERT_TRUE(writeBytes(inHot("a.job"), "JOB a"));
  JobRecord* a = lists.add(inHot("a.job").c_str());
  JobRecord* gone = lists.add(inHot("gone.job").c_str());
  ASSERT_EQ(moveJobToFolder(a, printed.c_str()), 1);
  EXPECT_EQ(fake::fileText((printed + platform::kSeparator + "VLX0000.vjx").c_str()), "JOB a");
  EXPECT_EQ(moveJobToFolder(gone, printed.c_str()), 1) << "a vanished file: the record still goes";
  EXPECT_EQ(countJobs(lists.head()), 0);

  // The printed-job folder was removed while the program ran.
  ASSERT_TRUE(writeBytes(inHot("b.job"), "JOB b"));
  const std::string removed = folder.join("Removed");
  ASSERT_EQ(moveJobToFolder(lists.add(inHot("b.job").c_str()), removed.c_str()), 1);
  EXPECT_TRUE(platform::pathExists((removed + platform::kSeparator + "VLX0000.vjx").c_str()));
  EXPECT_EQ(moveJobToFolder(nullptr, printed.c_str()), 0);
  EXPECT_EQ(deleteJob(nullptr), 0);
}

// The printed list, as the printed folder's scan leaves it: newest first by
// the files' dates, equal dates in their listed order, and at most HOLDJOB
// jobs, the files of the others deleted.
TEST_F(FolderScan, ThePrintedScanSortsNewestFirstAndTrimsToHoldJobs) {
  const struct {
    int32_t holdJobs;
    std::vector<std::string> oldestFirst;
    std::vector<std::string> kept;
  } cases[] = {
      {2, {"old", "mid", "new"}, {"new", "mid"}},
      {0, {"a", "b"}, {}},
      {-1, {"a", "b", "c"}, {"c", "b", "a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.holdJobs);
    TestLists scanned;
    ScratchFolder moved;
    platform::copyString(scanned.state.printedFolder, sizeof scanned.state.printedFolder, moved.path().c_str());
    scanned.state.holdJobs = c.holdJobs;
    // Written newest first, so the folder's own order is not the answer.
    const auto now = std::filesystem::file_time_type::clock::now();
    for (std::size_t i = c.oldestFirst.size(); i-- > 0;) {
      const std::string& name = c.oldestFirst[i];
      ASSERT_TRUE(writeBytes(moved.join(name), "JOB"));
      std::filesystem::last_write_time(moved.join(name), now - std::chrono::hours(24 * (10 - i)));
    }
    scanPrintedFolder(&scanned.state);
    g_now += kSettleMilliseconds;
    scanPrintedFolder(&scanned.state);
    std::vector<std::string> kept;
    for (JobRecord* r = nextOf(scanned.head(kPrintedList)); r; r = nextOf(r))
      kept.push_back(platform::fileNamePart(r->path));
    EXPECT_EQ(kept, c.kept);
    for (const std::string& name : c.oldestFirst) {
      const bool listed = std::find(kept.begin(), kept.end(), name) != kept.end();
      EXPECT_EQ(platform::pathExists(moved.join(name).c_str()), listed) << name;
    }
  }
}

TEST_F(FolderScan, ThePrintedScanKeepsEqualDatesInTheirListedOrder) {
  // Enough records that a sort which does not keep equal ones in order (an
  // introsort partitions past 16) reorders them.
  TestLists scanned;
  ScratchFolder moved;
  platform::copyString(scanned.state.printedFolder, sizeof scanned.state.printedFolder, moved.path().c_str());
  scanned.state.holdJobs = 100;
  std::vector<std::string> byDay[3];
  for (int i = 0; i < 48; ++i) {
    const std::string name = "j" + std::to_string(i);
    ASSERT_TRUE(writeBytes(moved.join(name), "JOB"));
    JobRecord* r = scanned.add(moved.join(name).c_str(), Idle, kPrintedList);
    r->year = 2026;
    r->month = 12;
    r->day = 1 + (i * 7) % 3;
    byDay[r->day - 1].push_back(name);
  }
  scanPrintedFolder(&scanned.state);
  std::vector<std::string> expected = byDay[2], listed;
  expected.insert(expected.end(), byDay[1].begin(), byDay[1].end());
  expected.insert(expected.end(), byDay[0].begin(), byDay[0].end());
  for (JobRecord* r = nextOf(scanned.head(kPrintedList)); r; r = nextOf(r)) {
    listed.push_back(platform::fileNamePart(r->path));
    EXPECT_EQ(r->next ? r->next->prev : r, r) << "links";
  }
  EXPECT_EQ(listed, expected);
}

}  // namespace
}  // namespace vlx
