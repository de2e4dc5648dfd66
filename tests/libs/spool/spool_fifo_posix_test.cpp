// A spool file that blocks inside the system (a fifo: written past what its
// pipe holds with nobody reading, or opened to be read back with nobody
// writing): the job fails within the port's time-out with its reason, and
// nothing stands in the output folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "SPOOL.h"
#include "open_block.h"
#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"

namespace {

using testing_support::ScratchFolder;

int fileCount(const std::string& folder) {
  int count = 0;
  platform::listFolder(folder.c_str(), [&](const platform::FolderEntry&) {
    ++count;
    return true;
  });
  return count;
}

std::string takeReason() {
  char text[256] = {};
  jSplTakeFailureText(text, sizeof text);
  return text;
}

TEST(SpoolFifo, ASpoolFileThatBlocksInsideTheSystemFailsTheJobWithinThePortTimeOut) {
  struct Case {
    const char* name;
    std::size_t bytes;
    const char* reason;
  } cases[] = {
      {"reading it back blocks in the open", 3, "ｽﾌﾟｰﾙﾌｧｲﾙを読めません（ﾀｲﾑｱｳﾄ）。"},
      {"writing it blocks", 1024 * 1024, "ｽﾌﾟｰﾙﾌｧｲﾙに書き込めません（ﾀｲﾑｱｳﾄ）。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder out("spl-fifo-out"), spool("spl-fifo");
    const std::string port = "FILE:" + out.path();
    ASSERT_TRUE(testing_support::writeBytes(spool.join("DEVICE.rgs"), ("TIMEOUT\t" + port + "\t1\r\n").c_str()));
    jSplSaveDevicePort(spool.join("DEVICE.rgs").c_str());
    const std::string fifo = spool.join("job.spl");
    const std::string spare = spool.join("spare.spl");  // a second name: the channel removes the first
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    ASSERT_EQ(0, ::link(fifo.c_str(), spare.c_str()));
    const jSplOpenBlock block = spool_test::blockFor(port, fifo);
    jSPOOL channel = jSplOpen(&block);
    ASSERT_TRUE(channel);
    const std::string bytes(c.bytes, 'x');
    EXPECT_EQ(1, jSplWrite_buff(channel, bytes.data(), static_cast<int>(bytes.size())));
    const long long start = platform::monotonicMilliseconds();
    EXPECT_EQ(0, jSplEnd(channel));
    EXPECT_EQ(c.reason, takeReason());
    jSplClose(channel);
    const long long took = platform::monotonicMilliseconds() - start;
    EXPECT_GE(took, 900);
    EXPECT_LT(took, 2000) << "the time-out plus one second";
    EXPECT_EQ(0, fileCount(out.path())) << "only whole jobs stand in the output folder";
    // Lets the blocked call go: a late handle is closed on its own thread.
    const int other = ::open(spare.c_str(), O_RDWR | O_NONBLOCK);
    char drain[65536];
    for (int i = 0; i < 40; ++i) {
      while (::read(other, drain, sizeof drain) > 0) {
      }
      platform::sleepMilliseconds(5);
    }
    ::close(other);
  }
}

}  // namespace
