// Dry runs against the real plug-in: the same stream as the queue's print,
// the job's ink to the picolitre, and nothing of the installation changed.
#include <gtest/gtest.h>

#include <thread>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Base.h"
#include "Draw.h"
#include "EscDecode.h"
#include "app/jobs/dry_run_estimate.h"
#include "job_maker.h"
#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/named_mutex.h"
#include "platform/path.h"
#include "plugin_folder.h"
#include "printing_fixture.h"
#include "proof_job.h"

namespace {

using testing_support::ScratchFolder;

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) {
    names.push_back(e.name);
    return true;
  });
  return names;
}

struct Collected {
  std::string bytes;
  std::atomic<int> cancel{0};
  std::size_t cancelAfter = 0;  // bytes; 0 = never
};

int collect(void* user, const void* data, int length) {
  auto* c = static_cast<Collected*>(user);
  c->bytes.append(static_cast<const char*>(data), static_cast<std::size_t>(length));
  if (c->cancelAfter && c->bytes.size() >= c->cancelAfter) {
    c->cancel = 1;
    return 0;
  }
  return 1;
}

struct DryRun : draw_test::PrintingFixture {
  void SetUp() override {
    PrintingFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(load(draw_test::sampleJob("EPSON RX-3", 30, 25)));
  }
  int proof(Collected* into, jPdevProofRun* run) {
    *run = vlx::dryRunCancelledBy(into->cancel);
    run->write = collect;
    run->writeUser = into;
    return jPdevProof(document, device, nullptr, setting, run);
  }
  std::string printedFile() {
    const std::vector<std::string> names = namesIn(out.path());
    return names.size() == 1 ? testing_support::readBytes(out.join(names[0])) : "not one file";
  }
};

TEST_F(DryRun, MakesThePrintsStreamAndInkWithoutTouchingAccountJobOrFolders) {
  ASSERT_EQ(jPdevPrint(nullptr, document, device, 0, setting), 1);
  const std::string printed = printedFile();
  const std::string inkPath = printer.join("EPSON RX-3.ink");
  const std::string inkBefore = testing_support::readBytes(inkPath);
  const std::string jobBefore = testing_support::readBytes(jobPath);
  const std::vector<std::string> printerFiles = namesIn(printer.path());
  ASSERT_FALSE(inkBefore.empty());
  for (int run = 0; run < 3; ++run) {
    Collected stream;
    jPdevProofRun figures;
    ASSERT_EQ(proof(&stream, &figures), 1);
    EXPECT_TRUE(stream.bytes == printed) << stream.bytes.size() << " bytes, printed " << printed.size();
    uint64_t total = 0;
    for (int i = 0; i < 8; ++i) {
      // The account holds exactly the one real print of this job.
      EXPECT_EQ(figures.inkPicolitres[i], static_cast<uint64_t>(figures.account[i].totalUsed)) << "ink " << i;
      total += figures.inkPicolitres[i];
    }
    EXPECT_GT(total, 0u);
    EXPECT_EQ(figures.xResolution, 720);
  }
  jPdevProofRun fromFile{};
  ASSERT_EQ(jPdevProofFile(jobPath.c_str(), &fromFile), 1);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(fromFile.inkPicolitres[i], static_cast<uint64_t>(fromFile.account[i].totalUsed)) << "ink " << i;
  EXPECT_TRUE(testing_support::readBytes(inkPath) == inkBefore);
  EXPECT_TRUE(testing_support::readBytes(jobPath) == jobBefore);
  EXPECT_EQ(namesIn(printer.path()), printerFiles) << "no scratch left behind";
  EXPECT_EQ(namesIn(out.path()).size(), 1u) << "nothing went to the port";
}

TEST_F(DryRun, ACancelEndsTheRunAndCountsNothing) {
  struct Case {
    const char* what;
    int preset;
    std::size_t after;
  };
  for (const Case c : {Case{"before the start", 1, 0}, Case{"mid-stream", 0, 2000}}) {
    Collected stream;
    stream.cancel = c.preset;
    stream.cancelAfter = c.after;
    jPdevProofRun figures;
    EXPECT_EQ(proof(&stream, &figures), 0) << c.what;
    EXPECT_TRUE(namesIn(out.path()).empty()) << c.what;
    EXPECT_FALSE(platform::pathExists(printer.join("EPSON RX-3.ink").c_str())) << c.what;
  }
}

// A host program may hold the printing lock for long (its ink dialog open):
// a dry run waiting for it still ends soon after a cancel.
TEST_F(DryRun, ACancelEndsAWaitForThePrintingLock) {
  std::atomic<bool> held{false}, release{false};
  std::thread holder([&] {
    platform::NamedLock lock("MUTEX_PRINT_DEV");
    held = true;
    for (int i = 0; i < 400 && !release; ++i) platform::sleepMilliseconds(10);
  });
  while (!held) platform::sleepMilliseconds(1);
  Collected stream;
  std::thread canceller([&] {
    platform::sleepMilliseconds(300);
    stream.cancel = 1;
  });
  const long long start = platform::monotonicMilliseconds();
  jPdevProofRun figures;
  EXPECT_EQ(proof(&stream, &figures), 0);
  EXPECT_LT(platform::monotonicMilliseconds() - start, 1000) << "the lock was held for 4 s";
  canceller.join();
  release = true;
  holder.join();
  EXPECT_TRUE(stream.bytes.empty());
}

TEST_F(DryRun, TheProofsDotPlanesAreThoseOfThePrintedStream) {
  ASSERT_EQ(jPdevPrint(nullptr, document, device, 0, setting), 1);
  const std::string printed = printedFile();
  escp::Stream stream;
  escp::decodeStream(reinterpret_cast<const uint8_t*>(printed.data()), printed.size(), &stream);
  std::vector<escp::DotPage> expected;
  std::string error;
  ASSERT_TRUE(escp::buildPages(stream, 1, &expected, &error)) << error;
  proof::ProofResult proofed;
  std::vector<escp::DotPage> pages;
  const escp::PageRowTaker keep{[&](size_t, const escp::DotPage& shape) {
                                  pages.push_back(shape);
                                  return true;
                                },
                                [&](const uint32_t* const ink[escp::kPlanes]) {
                                  for (int j = 0; j < escp::kPlanes; ++j)
                                    pages.back().ink[j].insert(pages.back().ink[j].end(), ink[j],
                                                               ink[j] + pages.back().width);
                                  return true;
                                },
                                [](size_t) { return true; }};
  char folder[platform::kMaxPath];
  ASSERT_TRUE(platform::folderPart(jobPath.c_str(), folder, sizeof folder));
  ASSERT_TRUE(proof::proofJob(jobPath.c_str(), folder, 1, &keep, &proofed, &error)) << error;
  ASSERT_EQ(pages.size(), expected.size());
  ASSERT_EQ(expected.size(), 1u);
  EXPECT_EQ(pages[0].dotWidth, expected[0].dotWidth);
  EXPECT_EQ(pages[0].dotHeight, expected[0].dotHeight);
  for (int plane = 0; plane < escp::kPlanes; ++plane)
    EXPECT_TRUE(pages[0].ink[plane] == expected[0].ink[plane]) << "plane " << plane;
  // Without a taker no page is built, its size is still measured, and the
  // stream's temporary file is gone either way.
  proof::ProofResult measured;
  ASSERT_TRUE(proof::proofJob(jobPath.c_str(), folder, 1, nullptr, &measured, &error)) << error;
  ASSERT_EQ(measured.pages.size(), 1u);
  EXPECT_EQ(measured.pages[0].dotWidth, expected[0].dotWidth);
  EXPECT_EQ(measured.pages[0].dotHeight, expected[0].dotHeight);
  EXPECT_EQ(measured.streamBytes, printed.size());
  bool left = false;
  platform::listFolder(folder, [&](const platform::FolderEntry& e) {
    left = left || std::strncmp(e.name, "PRS", 3) == 0;
    return true;
  });
  EXPECT_FALSE(left) << "a stream file was left behind";
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(proofed.ink.picolitres[i], static_cast<uint64_t>(proofed.ink.account[i].totalUsed)) << "ink " << i;
}

}  // namespace
