// A port that stops taking bytes: its time-out, a cancel through the
// continue hook, a connection dropped while a spooled job is sent.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "SPOOL.h"
#include "loopback_support.h"
#include "open_block.h"
#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"

namespace {

using spool_test::blockFor;
using spool_test::LoopbackListener;
using spool_test::Peer;
using testing_support::ScratchFolder;

// A registry whose only line gives port its time-out (none: the default).
class PortRegistry {
 public:
  explicit PortRegistry(const std::string& port, int seconds) {
    const std::string text = seconds ? "TIMEOUT\t" + port + "\t" + std::to_string(seconds) + "\r\n" : "";
    EXPECT_TRUE(testing_support::writeBytes(folder_.join("DEVICE.rgs"), text.c_str()));
    jSplSaveDevicePort(folder_.join("DEVICE.rgs").c_str());
  }

 private:
  ScratchFolder folder_{"spl-wait-rgs"};
};

std::string loopback(const LoopbackListener& listener) {
  return "127.0.0.1:" + std::to_string(listener.port());
}

// Hands on 4 MB at a time until the port refuses; the time the refused
// hand-on took, in milliseconds (-1 when the port never refused).
long long msUntilRefused(jSPOOL spool) {
  const std::vector<uint8_t> chunk(4 * 1024 * 1024, 0x5A);
  for (int i = 0; i < 64; ++i) {
    const long long start = platform::monotonicMilliseconds();
    const int taken =
        jSplWrite_buff(spool, chunk.data(), static_cast<int>(chunk.size())) == 1 && jSplWritePrinter(spool) == 1;
    if (!taken) return platform::monotonicMilliseconds() - start;
  }
  return -1;
}

std::atomic<bool> g_cancelled{false};
std::atomic<int> g_asked{0};
int keepGoing(void*) {
  ++g_asked;
  return g_cancelled ? 0 : 1;
}

TEST(PortWait, APortThatTakesNothingFailsTheJobAfterItsTimeOut) {
  LoopbackListener listener(Peer::kStall);
  ASSERT_NE(0, listener.port());
  PortRegistry registry(loopback(listener), 1);
  jSplOpenBlock block = blockFor(loopback(listener));
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  const long long waited = msUntilRefused(spool);
  EXPECT_GE(waited, 900) << "the port had a second to take a byte";
  EXPECT_LT(waited, 10000);
  EXPECT_EQ(0, jSplGetStatus(spool));
  EXPECT_EQ(0, jSplEnd(spool));
  EXPECT_EQ(1, jSplClose(spool));
}

// A cancel never leaves the printer inside a job: the channel still owes it
// the rest of what it was handed, so a printer that takes nothing is given
// up at the port's time-out, never later.
TEST(PortWait, ACancelOnAStalledPortEndsByTheTimeOut) {
  LoopbackListener listener(Peer::kStall);
  PortRegistry registry(loopback(listener), 1);
  jSplOpenBlock block = blockFor(loopback(listener));
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  g_cancelled = false;
  g_asked = 0;
  ASSERT_EQ(1, jSplSetContinueHook(spool, &keepGoing, nullptr));
  std::thread canceller([&] {
    platform::sleepMilliseconds(300);
    g_cancelled = true;
  });
  const long long started = platform::monotonicMilliseconds();
  msUntilRefused(spool);
  const long long ended = platform::monotonicMilliseconds();
  canceller.join();
  EXPECT_GE(g_asked.load(), 1) << "asked while sending";
  EXPECT_LT(ended - started, 300 + 1000 + 1000);
  EXPECT_EQ(0, jSplGetStatus(spool));
  EXPECT_EQ(0, jSplEnd(spool));
  EXPECT_EQ(1, jSplClose(spool));
  EXPECT_EQ(0, jSplSetContinueHook(spool, &keepGoing, nullptr)) << "a closed handle takes no hook";
}

TEST(PortWait, ASpooledJobWhosePortDropsTheConnectionFailsAtItsEnd) {
  LoopbackListener listener(Peer::kDrop, 100 * 1024);
  PortRegistry registry(loopback(listener), 2);
  ScratchFolder work("spl-wait-work");
  jSplOpenBlock block = blockFor(loopback(listener), work.join("SPL3.TMP"));
  jSPOOL spool = jSplOpen(&block);
  ASSERT_NE(nullptr, spool);
  const std::vector<uint8_t> job(16 * 1024 * 1024, 0x33);
  EXPECT_EQ(1, jSplWrite_buff(spool, job.data(), static_cast<int>(job.size())));
  EXPECT_EQ(1, jSplWritePrinter(spool)) << "into the spool file";
  EXPECT_EQ(0, jSplEnd(spool)) << "the printer got only part of it";
  EXPECT_EQ(1, jSplClose(spool));
  EXPECT_EQ(100u * 1024, listener.received().size());
  EXPECT_FALSE(platform::pathExists(work.join("SPL3.TMP").c_str())) << "the private copy is removed";
}

}  // namespace
