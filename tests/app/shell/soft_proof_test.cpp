// The soft proof with its stream in a file: every page's overview and dots
// are those of the stream kept in memory; the file goes with the picture,
// and at once when the run is cancelled or fails (a full disk included);
// the start-up sweep removes only the files a crash left.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "app/shell/soft_proof.h"
#include "platform/scratch_folder.h"
#include "support/file_size_limit.h"
#include "support/made_stream.h"

namespace vlx {
namespace {

using test_support::Bytes;
using test_support::randomPage;

Bytes threePages() {
  Bytes s(64, 0x11);
  for (const Bytes& page : {randomPage(
                                300, 1, [](int) { return 120; }, 1),
                            randomPage(
                                40, 5, [](int) { return 30; }, 2),
                            randomPage(
                                90, 2, [](int i) { return 10 + i; }, 3)})
    s.insert(s.end(), page.begin(), page.end());
  return s;
}

// A dry run that hands the stream over in pieces.
ProofProducer producing(const Bytes& stream, size_t piece = 1000) {
  return [stream, piece](const std::atomic<int>&, jPdevProofWrite write, jPdevProofPage, void* user) {
    for (size_t at = 0; at < stream.size(); at += piece)
      if (!write(user, stream.data() + at, static_cast<int>(std::min(piece, stream.size() - at)))) return -1;
    return 1;
  };
}

size_t proofFilesIn(const std::string& folder) {
  size_t n = 0;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) {
    n += isProofScratchName(e.name);
    return true;
  });
  return n;
}

TEST(SoftProofFile, ShowsEveryPageAsTheStreamInMemoryDoes) {
  testing_support::ScratchFolder folder;
  const Bytes stream = threePages();
  std::atomic<int> cancel{0};
  std::atomic<uint64_t> bytes{0};
  ProofPicture picture;
  ASSERT_EQ(makeProofPicture(producing(stream), folder.path().c_str(), cancel, &bytes, 64, &picture),
            ProofResult::kDone);
  EXPECT_EQ(bytes.load(), stream.size());
  EXPECT_EQ(proofFilesIn(folder.path()), 1u) << "the stream waits in its file";
  ASSERT_EQ(picture.pages, 3);
  for (int page = 0; page < 3; ++page) {
    if (page > 0) {
      ASSERT_TRUE(showProofPage(&picture, page, 64));
    }
    std::vector<escp::DotPage> built;
    std::string error;
    ASSERT_TRUE(escp::buildPagesEachFrame(stream.data(), stream.size(), picture.overview.scale, &built, &error));
    const escp::DotPage& want = built[static_cast<size_t>(page)];
    EXPECT_EQ(picture.dotWidth, want.dotWidth) << page;
    EXPECT_EQ(picture.dotHeight, want.dotHeight) << page;
    EXPECT_LE(std::max(picture.overview.width, picture.overview.height), 64) << page;
    for (int j = 0; j < escp::kPlanes; ++j) EXPECT_TRUE(picture.overview.ink[j] == want.ink[j]) << page << ", " << j;
    // Windows at one pixel per dot: the whole page, one inside it, one
    // over its bottom right edge.
    const int w = want.dotWidth, h = want.dotHeight;
    for (const std::vector<int>& v : {std::vector<int>{0, 0, w, h}, {13, h / 2, 50, 40}, {w - 10, h - 5, 30, 30}}) {
      escp::DotBand fromFile, inMemory;
      ASSERT_TRUE(proofDots(picture, v[0], v[1], v[2], v[3], &fromFile));
      ASSERT_TRUE(escp::decodeBand(stream.data(), stream.size(), page, v[0], v[1], v[2], v[3], &inMemory, &error));
      for (int j = 0; j < escp::kPlanes; ++j)
        EXPECT_TRUE(fromFile.codes[j] == inMemory.codes[j]) << page << " at " << v[0] << "," << v[1];
    }
  }
  EXPECT_FALSE(showProofPage(&picture, 3, 64));
  picture = ProofPicture{};
  EXPECT_EQ(proofFilesIn(folder.path()), 0u) << "and goes with the picture";
}

TEST(SoftProofFile, ShowsThePageTheProducerToldInItsShapeOnPaper) {
  // Rows of 480 dots on 300 lines at 1440 x 720 dpi, the page told as 400
  // dots by 360 lines: the rows' padding past the page is left out, the
  // lines below the last row are blank paper, and the page fits its box as
  // 400 / 1440 by 360 / 720 inches.
  const Bytes header{0x1B, '(', 'D', 4, 0, 0x40, 0x38, 20, 10};
  Bytes stream = header;
  const Bytes rows = randomPage(
      300, 1, [](int) { return 120; }, 4);
  stream.insert(stream.end(), rows.begin(), rows.end());
  const ProofProducer told = [&](const std::atomic<int>& cancel, jPdevProofWrite write, jPdevProofPage page,
                                 void* user) {
    if (page(user, 0, 400, 360) != 0) return -1;
    return producing(stream)(cancel, write, page, user);
  };
  testing_support::ScratchFolder folder;
  std::atomic<int> cancel{0};
  ProofPicture picture;
  ASSERT_EQ(makeProofPicture(told, folder.path().c_str(), cancel, nullptr, 64, &picture), ProofResult::kDone);
  EXPECT_EQ(400, picture.dotWidth);
  EXPECT_EQ(360, picture.dotHeight);
  EXPECT_EQ(1440, picture.resolution.x);
  EXPECT_EQ(720, picture.resolution.y);
  const escp::DotPage& o = picture.overview;
  EXPECT_EQ((400 + o.scale - 1) / o.scale, o.width);
  EXPECT_EQ((360 + o.scale - 1) / o.scale, o.height);
  std::vector<escp::DotPage> built;
  std::string error;
  ASSERT_TRUE(escp::buildPagesEachFrame(rows.data(), rows.size(), o.scale, &built, &error)) << error;
  for (int y = 0; y < o.height; ++y)
    for (int x = 0; x < o.width; ++x)
      ASSERT_EQ(y < built[0].height ? built[0].cell(0, x, y) : 0u, o.cell(0, x, y)) << x << "," << y;
  const ProofRect fit = fitPage(picture, 1000, 1000);
  EXPECT_EQ(1000, fit.height);
  EXPECT_EQ(555, fit.width);  // (400 / 1440) / (360 / 720) of the height
}

TEST(SoftProofFile, ARunThatDoesNotEndWholeLeavesNoFileAndNoPicture) {
  const Bytes stream = threePages();
  Bytes garbage = stream;
  garbage.insert(garbage.begin() + 200, {0x1B, 'i', 0x02, 1, 2, 1, 0, 1, 0, 0x80});  // a header PackBits refuses
  struct Case {
    const char* what;
    ProofProducer producer;
    ProofResult result;
    uint64_t fileLimit = 0;  // bytes any file may reach, 0: none
  };
  std::atomic<int> cancel{0};
  const Case cases[] = {
      {"cancelled",
       [&](const std::atomic<int>&, jPdevProofWrite write, jPdevProofPage, void* user) {
         write(user, stream.data(), 500);
         cancel = 1;  // the window closed
         return 0;
       },
       ProofResult::kCancelled},
      {"the dry run failed", [](const std::atomic<int>&, jPdevProofWrite, jPdevProofPage, void*) { return -1; },
       ProofResult::kFailed},
      {"no stream to decode", producing(garbage), ProofResult::kFailed},
      {"the disk filled up", producing(stream, 4096), ProofResult::kFailed, stream.size() / 2},
  };
  for (const Case& c : cases) {
    if (c.fileLimit && !test_support::FileSizeLimit::available()) continue;
    testing_support::ScratchFolder folder;
    cancel = 0;
    ProofPicture picture;
    {
      std::optional<test_support::FileSizeLimit> limit;
      if (c.fileLimit) limit.emplace(c.fileLimit);
      EXPECT_EQ(makeProofPicture(c.producer, folder.path().c_str(), cancel, nullptr, 64, &picture), c.result) << c.what;
    }
    EXPECT_EQ(picture.pages, 0) << c.what;
    EXPECT_FALSE(picture.stream) << c.what;
    EXPECT_EQ(proofFilesIn(folder.path()), 0u) << c.what;
  }
  cancel = 0;
  ProofPicture picture;
  EXPECT_EQ(makeProofPicture(producing(stream), "no such folder", cancel, nullptr, 64, &picture), ProofResult::kFailed);
}

TEST(SoftProofFile, TheSweepRemovesOnlyProofFilesLeftBehind) {
  testing_support::ScratchFolder folder, elsewhere;
  for (const char* name : {"VSP1A.TMP", "vsp00ff.tmp", "VSPFFFF.TMP", "VSP.TMP", "VSPG1.TMP", "VSP12345.TMP",
                           "PRF12.TMP", "VSP1A.TMP.bak", "job.vjx"})
    testing_support::writeBytes(folder.join(name), "x");
  platform::createFolder(folder.join("VSP2.TMP").c_str());
  size_t stale = 3;
#ifndef _WIN32
  // A link of a proof file's name goes; what it leads to stays.
  testing_support::writeBytes(elsewhere.join("precious"), "keep");
  ASSERT_EQ(::symlink(elsewhere.join("precious").c_str(), folder.join("VSP3.TMP").c_str()), 0);
  ++stale;
#endif
  EXPECT_EQ(sweepProofScratch(folder.path().c_str()), static_cast<int>(stale));
  std::vector<std::string> left;
  platform::listFolder(folder.path().c_str(), [&](const platform::FolderEntry& e) {
    left.push_back(e.name);
    return true;
  });
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"PRF12.TMP", "VSP.TMP", "VSP12345.TMP", "VSP1A.TMP.bak", "VSP2.TMP",
                                            "VSPG1.TMP", "job.vjx"}));
#ifndef _WIN32
  EXPECT_EQ(testing_support::readBytes(elsewhere.join("precious")), "keep") << "never followed";
#endif
  EXPECT_EQ(sweepProofScratch(nullptr), 0);
}

}  // namespace
}  // namespace vlx
