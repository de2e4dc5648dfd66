// The writer thread of file and printer ports, over a fake port that blocks
// until it is let go (a stalled network share).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <vector>

#include "libs/spool/blocking_writer.h"
#include "platform/clock.h"

namespace {

using spool::BlockingWriter;
using spool::SendControl;
using spool::SendResult;

std::atomic<bool> g_letGo{false};
std::atomic<int> g_closed{0};
std::atomic<bool> g_cancel{false};

bool stalledWrite(intptr_t, const void*, std::size_t) {
  while (!g_letGo) platform::sleepMilliseconds(5);
  return true;
}
bool countClose(intptr_t) {
  ++g_closed;
  return true;
}
// A job given up is released, never ended as if it were whole.
bool neverClose(intptr_t) {
  std::abort();
}
int keepGoing(void*) {
  return g_cancel ? 0 : 1;
}

TEST(BlockingWriter, AStalledWriteIsGivenUpAndItsHandleClosedOnlyWhenTheSystemLetsGo) {
  struct Case {
    int timeoutMs;
    bool cancel;
    SendResult want;
  } cases[] = {{300, false, SendResult::kTimedOut}, {60000, true, SendResult::kCancelled}};
  for (const Case& c : cases) {
    g_letGo = false;
    g_closed = 0;
    g_cancel = c.cancel;
    auto writer = BlockingWriter::start(7, &stalledWrite, &neverClose, &countClose);
    ASSERT_TRUE(writer);
    SendControl control;
    control.timeoutMs = c.timeoutMs;
    control.keepGoing = &keepGoing;
    const long long start = platform::monotonicMilliseconds();
    const char bytes[3] = {1, 2, 3};
    EXPECT_EQ(c.want, writer->write(bytes, sizeof bytes, control));
    EXPECT_LT(platform::monotonicMilliseconds() - start, 1500);
    EXPECT_EQ(SendResult::kFailed, writer->write(bytes, sizeof bytes, control)) << "given up for good";
    EXPECT_FALSE(writer->close());
    EXPECT_EQ(0, g_closed.load()) << "still in use by the blocked call";
    g_letGo = true;
    for (int i = 0; i < 200 && g_closed == 0; ++i) platform::sleepMilliseconds(10);
    EXPECT_EQ(1, g_closed.load());
  }
}

TEST(BlockingWriter, WritesThatGoThroughAreSentAndClosedOnce) {
  g_letGo = true;
  g_closed = 0;
  auto writer = BlockingWriter::start(7, &stalledWrite, &countClose, &neverClose);
  ASSERT_TRUE(writer);
  const std::vector<char> big(200 * 1024, 'x');
  EXPECT_EQ(SendResult::kSent, writer->write(big.data(), big.size(), SendControl{}));
  EXPECT_TRUE(writer->close());
  writer.reset();
  EXPECT_EQ(1, g_closed.load());
}

}  // namespace
