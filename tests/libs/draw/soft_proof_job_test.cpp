// The soft proof of a real job, through every layer: the job file's dry run
// through the drawing library and the plug-in, the stream in a file in the
// printer folder, and the picture shows the dots of the stream in memory.
#include <gtest/gtest.h>

#include <algorithm>
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
  // The page the driver opened (30 x 25 mm at 720 dpi), not as far as the
  // rows reach: rows whose packing grew are padded past it with blank dots.
  EXPECT_EQ(850, picture.dotWidth);
  EXPECT_EQ(708, picture.dotHeight);
  const escp::DotPage& o = picture.overview;
  for (int j = 0; j < escp::kPlanes; ++j)
    for (int y = 0; y < std::max(o.height, pages[0].height); ++y)
      for (int x = 0; x < std::max(o.width, pages[0].width); ++x) {
        const bool inPage = x < o.width && y < o.height, inRows = x < pages[0].width && y < pages[0].height;
        ASSERT_EQ(inRows ? pages[0].cell(j, x, y) : 0u, inPage ? o.cell(j, x, y) : 0u) << j << ": " << x << "," << y;
      }
  escp::DotBand fromFile, inMemory;
  ASSERT_TRUE(vlx::proofDots(picture, 0, 0, picture.dotWidth, picture.dotHeight, &fromFile));
  ASSERT_TRUE(escp::decodeBand(bytes, stream.size(), 0, 0, 0, picture.dotWidth, picture.dotHeight, &inMemory, &error));
  for (int j = 0; j < escp::kPlanes; ++j) EXPECT_TRUE(fromFile.codes[j] == inMemory.codes[j]) << "ink " << j;
  picture = vlx::ProofPicture{};
  EXPECT_EQ(proofFiles(), 0u);
}

}  // namespace
