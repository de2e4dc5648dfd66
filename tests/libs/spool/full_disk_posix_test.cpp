// A disk that fills up while a spooled job is written or sent: the job fails
// and says so, and no partial print file is passed off as a finished one.
// The full disk is a file-size limit of the process (writes past it fail with
// EFBIG, as they would with ENOSPC).
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "SPOOL.h"
#include "open_block.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"
#include "support/file_size_limit.h"

namespace {

using test_support::FileSizeLimit;
using testing_support::ScratchFolder;

jSPOOL openSpooled(const ScratchFolder& out, const ScratchFolder& work) {
  const jSplOpenBlock block = spool_test::blockFor("FILE:" + out.path(), work.join("SPL9.TMP"));
  return jSplOpen(&block);
}

std::vector<std::uint64_t> fileSizesIn(const std::string& folder) {
  std::vector<std::uint64_t> sizes;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry& e) {
    sizes.push_back(e.size);
    return true;
  });
  return sizes;
}

TEST(FullDisk, FillingUpWhileSpoolingOrSendingFailsTheJob) {
  constexpr rlim_t kRoom = 256 * 1024;
  const std::vector<uint8_t> chunk(192 * 1024, 0x44);
  for (const bool fullWhileSpooling : {true, false}) {
    SCOPED_TRACE(fullWhileSpooling ? "full while spooling" : "full while sending");
    ScratchFolder out("spl-full-out");
    ScratchFolder work("spl-full-work");
    jSPOOL spool = openSpooled(out, work);
    ASSERT_NE(nullptr, spool);
    int handedOn = 1;
    int ended = 1;
    {
      // Spooling three chunks needs 576 KB in the spool file; the send at the
      // end needs as much in the print file.
      FileSizeLimit limit(fullWhileSpooling ? kRoom : RLIM_INFINITY);
      for (int i = 0; i < 3; ++i)
        handedOn &=
            jSplWrite_buff(spool, chunk.data(), static_cast<int>(chunk.size())) == 1 && jSplWritePrinter(spool) == 1;
    }
    {
      FileSizeLimit limit(kRoom);
      ended = jSplEnd(spool);
    }
    EXPECT_EQ(0, ended) << "the job did not reach the port whole";
    if (!fullWhileSpooling) {
      EXPECT_EQ(1, handedOn) << "spooling itself had room";
    }
    EXPECT_EQ(1, jSplClose(spool));
    EXPECT_TRUE(fileSizesIn(out.path()).empty()) << "no incomplete job is left in the output folder";
    EXPECT_FALSE(platform::pathExists(work.join("SPL9.TMP").c_str())) << "the private copy is removed";
  }
}

}  // namespace
