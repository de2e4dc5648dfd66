// The soft proof of a real job, through every layer: the job file's dry run
// through the drawing library and the plug-in, the stream in a file in the
// printer folder, and the picture shows the dots of the stream in memory.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "Draw.h"
#include "EscDecode.h"
#include "app/shell/soft_proof.h"
#include "platform/folders.h"
#include "printing_fixture.h"

namespace {

int append(void* user, const void* data, int length) {
  static_cast<std::string*>(user)->append(static_cast<const char*>(data), static_cast<size_t>(length));
  return 1;
}

struct SoftProofJob : draw_test::PrintingFixture {
  void SetUp() override {
    PrintingFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(load(draw_test::sampleJob("EPSON RX-3", 30, 25)));
  }
  size_t proofFiles() {
    size_t n = 0;
    platform::listFolder(printer.path().c_str(), [&](const platform::FolderEntry& e) {
      n += vlx::isProofScratchName(e.name);
      return true;
    });
    return n;
  }
};

TEST_F(SoftProofJob, ShowsTheDotsOfTheJobsStream) {
  std::string stream;
  jPdevProofRun run{};
  run.write = append;
  run.writeUser = &stream;
  ASSERT_EQ(jPdevProofFile(jobPath.c_str(), &run), 1);
  const auto* bytes = reinterpret_cast<const uint8_t*>(stream.data());

  std::atomic<int> cancel{0};
  vlx::ProofPicture picture;
  ASSERT_EQ(vlx::makeProofPicture(vlx::dryRunOfJobFile(jobPath), printer.path().c_str(), cancel, nullptr, 64, &picture),
            vlx::ProofResult::kDone);
  EXPECT_EQ(proofFiles(), 1u);
  EXPECT_EQ(picture.stream->size(), stream.size());
  std::vector<escp::DotPage> pages;
  std::string error;
  ASSERT_TRUE(escp::buildPagesEachFrame(bytes, stream.size(), picture.overview.scale, &pages, &error)) << error;
  ASSERT_EQ(picture.pages, 1);
  EXPECT_GT(picture.dotWidth, 0);
  EXPECT_EQ(picture.dotWidth, pages[0].dotWidth);
  EXPECT_EQ(picture.dotHeight, pages[0].dotHeight);
  for (int j = 0; j < escp::kPlanes; ++j) EXPECT_TRUE(picture.overview.ink[j] == pages[0].ink[j]) << "ink " << j;
  escp::DotBand fromFile, inMemory;
  ASSERT_TRUE(vlx::proofDots(picture, 0, 0, picture.dotWidth, picture.dotHeight, &fromFile));
  ASSERT_TRUE(escp::decodeBand(bytes, stream.size(), 0, 0, 0, picture.dotWidth, picture.dotHeight, &inMemory, &error));
  for (int j = 0; j < escp::kPlanes; ++j) EXPECT_TRUE(fromFile.codes[j] == inMemory.codes[j]) << "ink " << j;
  picture = vlx::ProofPicture{};
  EXPECT_EQ(proofFiles(), 0u);
}

}  // namespace
