// The spool channel: ports, buffered writing, spool files and their limit,
// abort points, and handle validation.
#include <gtest/gtest.h>
#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "SPOOL.h"
#include "loopback_support.h"
#include "open_block.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/path.h"
#include "platform/scratch_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using spool_test::blockFor;
using testing_support::ScratchFolder;

unsigned long thisProcess() {
#if defined(_WIN32)
  return static_cast<unsigned long>(_getpid());
#else
  return static_cast<unsigned long>(getpid());
#endif
}

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) {
    if (!e.isDirectory) names.push_back(folder + platform::kSeparator + e.name);
    return true;
  });
  return names;
}

Bytes onlyFileIn(const std::string& folder) {
  const std::vector<std::string> files = filesIn(folder);
  EXPECT_EQ(1u, files.size());
  return files.size() == 1 ? testing_support::readByteVector(files[0]) : Bytes();
}

Bytes text(const char* s) {
  return Bytes(s, s + std::strlen(s));
}

void writeText(jSPOOL spool, const char* s) {
  EXPECT_EQ(1, jSplWrite_s(spool, s));
}

TEST(FilePort, EachChannelGetsANewFileOfItsOwn) {
  ScratchFolder out("spl-file");
  ASSERT_TRUE(testing_support::writeBytes(out.join("keep.prn"), "old"));
  jSplOpenBlock block = blockFor("FILE:" + out.path());
  jSPOOL a = jSplOpen(&block);
  jSPOOL b = jSplOpen(&block);
  ASSERT_NE(nullptr, a);
  ASSERT_NE(nullptr, b);
  EXPECT_NE(a, b);
  writeText(a, "first");
  writeText(b, "second");
  EXPECT_EQ(1, jSplWrite_c(a, 0x100 | '!'));  // only the low byte
  EXPECT_EQ(1, jSplWritePrinter(a));
  EXPECT_EQ(1, jSplWritePrinter(b));
  EXPECT_EQ(1, jSplEnd(a));
  EXPECT_EQ(1, jSplClose(a));
  EXPECT_EQ(1, jSplEnd(b));
  EXPECT_EQ(1, jSplClose(b));
  std::vector<Bytes> contents;
  for (const std::string& f : filesIn(out.path())) contents.push_back(testing_support::readByteVector(f));
  ASSERT_EQ(3u, contents.size());
  EXPECT_NE(contents.end(), std::find(contents.begin(), contents.end(), text("first!")));
  EXPECT_NE(contents.end(), std::find(contents.begin(), contents.end(), text("second")));
  EXPECT_NE(contents.end(), std::find(contents.begin(), contents.end(), text("old")));
}

TEST(FilePort, AJobFileHasAPrintsNameOnlyOnceItsJobEndedWhole) {
  ScratchFolder out("spl-part");
  jSplOpenBlock block = blockFor("FILE:" + out.path());
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  writeText(spool, "a job");
  EXPECT_EQ(1, jSplWritePrinter(spool));
  std::vector<std::string> during = filesIn(out.path());
  ASSERT_EQ(1u, during.size());
  EXPECT_TRUE(platform::endsWithNoCase(during[0].c_str(), ".prn.part")) << during[0];
  EXPECT_EQ(1, jSplEnd(spool));
  EXPECT_EQ(1, jSplClose(spool));
  const std::vector<std::string> after = filesIn(out.path());
  ASSERT_EQ(1u, after.size());
  EXPECT_EQ(after[0] + ".part", during[0]);
  EXPECT_EQ(text("a job"), testing_support::readByteVector(after[0]));
}

TEST(FilePort, TheSweepTakesOnlyUnfinishedJobFilesOfOurMakingLeftByAWriterThatIsGone) {
  ScratchFolder out("spl-sweep");
  const std::string self = "20261210-113000-" + std::to_string(thisProcess());
  const std::string gone = "20261210-113000-999999999";
  struct Case {
    std::string name;
    bool old;
    bool swept;
  };
  std::vector<Case> cases = {
      {gone + "-7.prn.part", false, true},
      {self + "-8.prn.part", false, true},  // a crashed process that had this one's id
      {gone + "-9.prn", true, false},
      {"mine.prn.part", true, false},
      {"2026121-113000-4242-7.prn.part", true, false},
  };
#if !defined(_WIN32)
  // Another program that runs: printing into the folder now, or under a reused id.
  const std::string running = "20261210-113000-" + std::to_string(getppid());
  cases.push_back({running + "-1.prn.part", false, false});
  cases.push_back({running + "-2.prn.part", true, true});
#else
  // Held open by a writer, whatever its name says: another program's job.
  cases.push_back({gone + "-3.prn.part", true, false});
#endif
  const auto now = std::filesystem::file_time_type::clock::now();
  for (const Case& c : cases) {
    ASSERT_TRUE(testing_support::writeBytes(out.join(c.name), "x"));
    if (c.old) std::filesystem::last_write_time(out.join(c.name), now - std::chrono::minutes(2));
  }
  const std::string registry = out.join("DEVICE.rgs");
  const std::string lines = "DEVICE\tA\tRX3.dll\tRX3-1600\tFILE:" + out.path() +
                            "\r\nDEVICE\tB\tRX3.dll\tRX3-44\tFILE:" + out.path() + "\r\n";
  ASSERT_TRUE(testing_support::writeBytes(registry, lines));
#if defined(_WIN32)
  platform::FileHandle held =
      platform::openFile(out.join(gone + "-3.prn.part").c_str(), platform::OpenMode::ReadShared);
  ASSERT_NE(nullptr, held);
#endif
  // A job this process is printing into the folder meanwhile.
  jSplOpenBlock block = blockFor("FILE:" + out.path());
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  writeText(spool, "printing");
  int expected = 0;
  for (const Case& c : cases) expected += c.swept ? 1 : 0;
  EXPECT_EQ(expected, jSplSweepPorts(registry.c_str(), 60));
  for (const Case& c : cases) EXPECT_EQ(platform::pathExists(out.join(c.name).c_str()), !c.swept) << c.name;
  EXPECT_EQ(1, jSplClose(spool));
#if defined(_WIN32)
  platform::closeFile(held);
#endif
  int printed = 0;
  for (const std::string& f : filesIn(out.path()))
    printed += platform::endsWithNoCase(f.c_str(), ".prn") && testing_support::readBytes(f) == "printing" ? 1 : 0;
  EXPECT_EQ(1, printed) << "the job printed meanwhile ends whole under its name";
}

TEST(FilePort, AnExistingFolderWithoutPrefixIsAFilePort) {
  ScratchFolder out("spl-folder");
  jSplOpenBlock block = blockFor(out.path());
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  const Bytes data{0x00, 0x1B, 0x40, 0xFF};
  EXPECT_EQ(1, jSplWrite_buff(spool, data.data(), static_cast<int>(data.size())));
  EXPECT_EQ(1, jSplClose(spool)) << "closing ends the job too";
  EXPECT_EQ(data, onlyFileIn(out.path()));
}

TEST(FilePort, MissingFolderOrEmptyPortIsRefused) {
  ScratchFolder out("spl-missing");
  jSplOpenBlock block = blockFor("FILE:" + out.join("nowhere"));
  EXPECT_EQ(nullptr, jSplOpen(&block));
  block = blockFor("FILE:");
  EXPECT_EQ(nullptr, jSplOpen(&block));
  block = blockFor("");
  EXPECT_EQ(nullptr, jSplOpen(&block));
  block = blockFor("未登録のﾌﾟﾘﾝﾀ");
  EXPECT_EQ(nullptr, jSplOpen(&block)) << "no such installed printer";
  EXPECT_EQ(nullptr, jSplOpen(nullptr));
}

TEST(OpenBlock, AFieldWithoutTerminatorIsRefused) {
  ScratchFolder out("spl-block");
  jSplOpenBlock block = blockFor("FILE:" + out.path());
  std::memset(block.jobName, 'A', sizeof block.jobName);
  EXPECT_EQ(nullptr, jSplOpen(&block));
  EXPECT_TRUE(filesIn(out.path()).empty());
}

TEST(TcpPort, DeliversTheJobToALoopbackListener) {
  spool_test::LoopbackListener listener;
  ASSERT_NE(0, listener.port());
  jSplOpenBlock block = blockFor("127.0.0.1:" + std::to_string(listener.port()));
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  Bytes sent;
  for (int i = 0; i < 100000; ++i) {
    EXPECT_EQ(1, jSplWrite_c(spool, i * 7));
    sent.push_back(static_cast<uint8_t>(i * 7));
  }
  EXPECT_EQ(1, jSplWritePrinter(spool));
  EXPECT_EQ(1, jSplGetStatus(spool));
  EXPECT_EQ(1, jSplEnd(spool));
  EXPECT_EQ(1, jSplClose(spool));
  EXPECT_EQ(sent, listener.received());
}

TEST(TcpPort, ADeadPortFailsToOpen) {
  const int port = spool_test::deadLoopbackPort();
  ASSERT_NE(0, port);
  jSplOpenBlock block = blockFor("127.0.0.1:" + std::to_string(port));
  EXPECT_EQ(nullptr, jSplOpen(&block));
}

TEST(SpoolFile, BytesReachThePortOnlyAtTheEndAndTheSpoolFileGoes) {
  ScratchFolder out("spl-mode");
  ScratchFolder work("spl-work");
  jSplOpenBlock block = blockFor("FILE:" + out.path(), work.join("SPL1.TMP"));
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  writeText(spool, "spooled job");
  EXPECT_EQ(1, jSplWritePrinter(spool));
  EXPECT_TRUE(platform::pathExists(work.join("SPL1.TMP").c_str()));
  EXPECT_TRUE(onlyFileIn(out.path()).empty()) << "held in the spool file";
  EXPECT_EQ(1, jSplEnd(spool));
  EXPECT_EQ(1, jSplClose(spool));
  EXPECT_EQ(text("spooled job"), onlyFileIn(out.path()));
  EXPECT_FALSE(platform::pathExists(work.join("SPL1.TMP").c_str()));
}

TEST(SpoolFile, GrowingPastTheLimitStopsTheJobInsteadOfFillingTheDisk) {
  ScratchFolder out("spl-limit");
  ScratchFolder work("spl-limit-work");
  jSplOpenBlock block = blockFor("FILE:" + out.path(), work.join("SPL2.TMP"), 2);
  block.spoolLimitMB = 1;
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  const Bytes row(600 * 1024, 0x55);
  EXPECT_EQ(1, jSplWrite_buff(spool, row.data(), static_cast<int>(row.size())));
  EXPECT_EQ(1, jSplWritePrinter(spool)) << "600 KB fit";
  EXPECT_EQ(0, jSplWrite_buff(spool, row.data(), static_cast<int>(row.size()))) << "1200 KB do not";
  EXPECT_EQ(0, jSplWritePrinter(spool));
  EXPECT_NE(1, jSplGetStatus(spool));
  EXPECT_EQ(0, jSplWrite_c(spool, 1)) << "nothing more is taken";
  EXPECT_EQ(0, jSplEnd(spool));
  EXPECT_EQ(1, jSplClose(spool));
  EXPECT_TRUE(filesIn(out.path()).empty()) << "no incomplete job is left in the output folder";
  EXPECT_FALSE(platform::pathExists(work.join("SPL2.TMP").c_str()));
}

TEST(Abort, DropsWhatWasBufferedAfterTheAbortPointAndKeepsTheHandle) {
  ScratchFolder out("spl-abort");
  jSplOpenBlock block = blockFor("FILE:" + out.path());
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  writeText(spool, "sent|");
  EXPECT_EQ(1, jSplWritePrinter(spool));
  writeText(spool, "row1|");
  EXPECT_EQ(1, jSplSetAbortPoint(spool));
  writeText(spool, "row2 half");
  EXPECT_EQ(1, jSplAbort(spool));
  EXPECT_EQ(1, jSplGetStatus(spool));
  writeText(spool, "ABORT");
  EXPECT_EQ(1, jSplWritePrinter(spool));
  EXPECT_EQ(1, jSplClose(spool));
  EXPECT_EQ(text("sent|row1|ABORT"), onlyFileIn(out.path()));
}

TEST(Abort, NothingHandedOnIsTakenBack) {
  ScratchFolder out("spl-abort2");
  jSplOpenBlock block = blockFor("FILE:" + out.path());
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  EXPECT_EQ(1, jSplSetAbortPoint(spool));
  writeText(spool, "row");
  EXPECT_EQ(1, jSplWritePrinter(spool));
  EXPECT_EQ(1, jSplAbort(spool));
  EXPECT_EQ(1, jSplClose(spool));
  EXPECT_EQ(text("row"), onlyFileIn(out.path()));
}

TEST(Handles, ClosedOrForeignHandlesAreRefused) {
  ScratchFolder out("spl-stale");
  jSplOpenBlock block = blockFor("FILE:" + out.path());
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  EXPECT_EQ(1, jSplClose(spool));
  jSPOOL reused = jSplOpen(&block);
  ASSERT_NE(nullptr, reused);
  EXPECT_NE(spool, reused) << "a new channel never takes an old handle";
  int local = 0;
  for (jSPOOL bad : {spool, static_cast<jSPOOL>(nullptr), reinterpret_cast<jSPOOL>(&local)}) {
    EXPECT_EQ(0, jSplWrite_c(bad, 1));
    EXPECT_EQ(0, jSplWrite_s(bad, "x"));
    EXPECT_EQ(0, jSplWritePrinter(bad));
    EXPECT_EQ(0, jSplGetStatus(bad));
    EXPECT_EQ(0, jSplSetAbortPoint(bad));
    EXPECT_EQ(0, jSplAbort(bad));
    EXPECT_EQ(0, jSplEnd(bad));
    EXPECT_EQ(0, jSplClose(bad));
  }
  EXPECT_EQ(1, jSplGetStatus(reused)) << "the live channel is untouched";
  EXPECT_EQ(1, jSplEnd(reused));
  EXPECT_EQ(0, jSplWrite_c(reused, 1)) << "an ended job takes no more bytes";
  EXPECT_EQ(1, jSplClose(reused));
}

}  // namespace
