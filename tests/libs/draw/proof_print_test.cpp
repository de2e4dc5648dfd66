// Dry runs against the real plug-in: the same stream as the queue's print,
// the job's ink to the picolitre, and nothing of the installation changed.
#include <gtest/gtest.h>

#include <thread>

#include <algorithm>
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
#include "libs/draw/driver_plugins.h"
#include "libs/draw/setting_block.h"
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

// A taker that keeps each page's rows as a whole page.
escp::PageRowTaker keepRows(std::vector<escp::DotPage>* pages) {
  return {[pages](size_t, const escp::DotPage& shape) {
            pages->push_back(shape);
            return true;
          },
          [pages](const uint32_t* const ink[escp::kPlanes]) {
            escp::DotPage& p = pages->back();
            for (int j = 0; j < escp::kPlanes; ++j) p.ink[j].insert(p.ink[j].end(), ink[j], ink[j] + p.width);
            return true;
          },
          [](size_t) { return true; }};
}

// A job whose settings image prints at x by y dpi.
jobfile::Job jobAt(const std::string& printerFolder, float widthMm, float heightMm, int32_t x, int32_t y) {
  jobfile::Job job = draw_test::sampleJob("EPSON RX-3", widthMm, heightMm);
  jdraw::DriverPlugin plugin;
  DeviceRecord record{};
  if (!plugin.load((printerFolder + "/" + draw_test::pluginFileName()).c_str()) ||
      !plugin.findMachine("EPSON RX-3", &record) || plugin.exports().openMachine(&record) != 1)
    return job;
  jdraw::SettingBlock block;
  std::memcpy(block.settings, record.state, sizeof block.settings);
  plugin.exports().closeMachine(&record);
  std::memcpy(block.settings, &x, 4);  // the horizontal and vertical dots per inch lead the image
  std::memcpy(block.settings + 4, &y, 4);
  std::strcpy(reinterpret_cast<char*>(block.settings) + 1464, "FILE:nowhere");  // the registry's port wins
  block.hasSettings = true;
  jdraw::encodeSettingBlock(block, &job.settings);
  return job;
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
  const escp::PageRowTaker keep = keepRows(&pages);
  char folder[platform::kMaxPath];
  ASSERT_TRUE(platform::folderPart(jobPath.c_str(), folder, sizeof folder));
  ASSERT_TRUE(proof::proofJob(jobPath.c_str(), folder, 1, &keep, &proofed, &error)) << error;
  ASSERT_EQ(pages.size(), expected.size());
  ASSERT_EQ(expected.size(), 1u);
  // The page is the driver's, 30 x 25 mm at 720 dpi; the stream's rows may
  // reach past it only with the zero dots that pad a row whose packing grew.
  const escp::DotPage& page = pages[0];
  EXPECT_EQ(850, page.dotWidth);
  EXPECT_EQ(708, page.dotHeight);
  for (int plane = 0; plane < escp::kPlanes; ++plane)
    for (int y = 0; y < std::max(page.height, expected[0].height); ++y)
      for (int x = 0; x < std::max(page.width, expected[0].width); ++x) {
        const bool inPage = x < page.width && y < page.height;
        const bool inStream = x < expected[0].width && y < expected[0].height;
        ASSERT_EQ(inStream ? expected[0].cell(plane, x, y) : 0u, inPage ? page.cell(plane, x, y) : 0u)
            << "plane " << plane << " at " << x << ", " << y;
      }
  // Without a taker no page is built, its size is still given, and the
  // stream's temporary file is gone either way.
  proof::ProofResult measured;
  ASSERT_TRUE(proof::proofJob(jobPath.c_str(), folder, 1, nullptr, &measured, &error)) << error;
  ASSERT_EQ(measured.pages.size(), 1u);
  EXPECT_EQ(measured.pages[0].dotWidth, page.dotWidth);
  EXPECT_EQ(measured.pages[0].dotHeight, page.dotHeight);
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

TEST_F(DryRun, ThePicturesPageIsTheJobsPageOnPaperAtEveryResolution) {
  // 30 x 25 mm at scale 4: cells square on paper, so the picture keeps the
  // page's shape whatever the dots' shape, and its size is the page's, not
  // the widest row's, the same at every run.
  struct Case {
    int32_t x, y;
    int across, down;  // dots of a cell
  };
  for (const Case c : {Case{720, 720, 4, 4}, Case{1440, 720, 8, 4}, Case{1440, 1440, 4, 4}}) {
    SCOPED_TRACE(std::to_string(c.x) + " x " + std::to_string(c.y));
    ASSERT_TRUE(load(jobAt(printer.path(), 30, 25, c.x, c.y)));
    char folder[platform::kMaxPath];
    ASSERT_TRUE(platform::folderPart(jobPath.c_str(), folder, sizeof folder));
    for (int run = 0; run < 2; ++run) {
      std::vector<escp::DotPage> pages;
      const escp::PageRowTaker keep = keepRows(&pages);
      proof::ProofResult proofed;
      std::string error;
      ASSERT_TRUE(proof::proofJob(jobPath.c_str(), folder, 4, &keep, &proofed, &error)) << error;
      ASSERT_EQ(1u, pages.size());
      const escp::DotPage& p = pages[0];
      EXPECT_EQ(static_cast<int>(30 / 25.4 * c.x), p.dotWidth);
      EXPECT_EQ(static_cast<int>(25 / 25.4 * c.y), p.dotHeight);
      EXPECT_EQ(c.across, p.across());
      EXPECT_EQ(c.down, p.scale);
      EXPECT_EQ((p.dotWidth + c.across - 1) / c.across, p.width);
      EXPECT_EQ((p.dotHeight + c.down - 1) / c.down, p.height);
      EXPECT_NEAR(30.0 / 25.0, static_cast<double>(p.width) / p.height, 0.02);
      EXPECT_EQ(static_cast<size_t>(p.width) * p.height, p.ink[0].size());
    }
  }
}

TEST_F(DryRun, APictureThatCannotBeMadeIsRefusedBeforeTheRun) {
  // The sizes are told before the first band, so a refusal comes at once
  // and nothing is printed.
  struct Case {
    float widthMm, heightMm;
    int scale;
    const char* why;
  };
  const Case cases[] = {
      {1200, 2000, 1, "page 1 (34015 x 56692 dots) too large to picture at scale 1"},  // some 2 billion cells
      {30, 25, 2048, "scale 2048 too large: cells of 2048 x 2048 dots"},               // past 32 bits of sums
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ASSERT_TRUE(load(draw_test::sampleJob("EPSON RX-3", c.widthMm, c.heightMm)));
    char folder[platform::kMaxPath];
    ASSERT_TRUE(platform::folderPart(jobPath.c_str(), folder, sizeof folder));
    std::vector<escp::DotPage> pages;
    const escp::PageRowTaker keep = keepRows(&pages);
    proof::ProofResult proofed;
    std::string error;
    const long long start = platform::monotonicMilliseconds();
    EXPECT_FALSE(proof::proofJob(jobPath.c_str(), folder, c.scale, &keep, &proofed, &error));
    EXPECT_LT(platform::monotonicMilliseconds() - start, 2000);
    EXPECT_NE(std::string::npos, error.find(c.why)) << error;
    EXPECT_TRUE(pages.empty());
    EXPECT_TRUE(namesIn(out.path()).empty());
  }
}

}  // namespace
