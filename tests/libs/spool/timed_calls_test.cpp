// Calls that block inside the system with no time-out of their own (an open,
// a read, a lookup): each is waited for within a time-out and a cancel, and
// what it makes after being given up is released on its own thread; a file
// a given-up thread still holds is removed once it lets go.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

#include "libs/spool/blocking_writer.h"
#include "libs/spool/timed_call.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/scratch_folder.h"

namespace {

using spool::SendControl;
using spool::SendResult;

std::atomic<bool> g_letGo{false};
std::atomic<int> g_released{0};
std::atomic<bool> g_cancel{false};

int keepGoing(void*) {
  return g_cancel ? 0 : 1;
}

TEST(TimedCall, AStuckCallEndsTheWaitAtItsTimeOutOrACancelAndIsReleasedOnlyWhenItReturns) {
  struct Case {
    const char* name;
    int callMs;  // -1: until let go
    int timeoutMs;
    bool cancel;
    SendResult want;
  } cases[] = {
      {"returns in time", 10, 1000, false, SendResult::kSent},
      {"times out", -1, 300, false, SendResult::kTimedOut},
      {"cancelled", -1, 60000, true, SendResult::kCancelled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_letGo = false;
    g_released = 0;
    g_cancel = c.cancel;
    const int callMs = c.callMs;
    const std::function<int()> call = [callMs] {
      if (callMs >= 0) platform::sleepMilliseconds(callMs);
      while (callMs < 0 && !g_letGo) platform::sleepMilliseconds(5);
      return 42;
    };
    const std::function<void(int&)> release = [](int& made) { g_released += made; };
    SendControl control;
    control.timeoutMs = c.timeoutMs;
    control.keepGoing = &keepGoing;
    int out = 0;
    const long long start = platform::monotonicMilliseconds();
    EXPECT_EQ(c.want, spool::callTimed<int>(call, control, release, &out));
    const long long waited = platform::monotonicMilliseconds() - start;
    EXPECT_LT(waited, c.cancel ? 400 : c.timeoutMs + 400);
    EXPECT_EQ(c.want == SendResult::kSent ? 42 : 0, out);
    EXPECT_EQ(0, g_released.load()) << "nothing released while the call is still out";
    g_letGo = true;
    for (int i = 0; i < 200 && c.want != SendResult::kSent && g_released == 0; ++i) platform::sleepMilliseconds(10);
    EXPECT_EQ(c.want == SendResult::kSent ? 0 : 42, g_released.load()) << "what a late call made is released";
  }
  g_cancel = false;
}

bool stalledWrite(intptr_t, const void*, std::size_t) {
  while (!g_letGo) platform::sleepMilliseconds(5);
  return true;
}
bool closeFile(intptr_t handle) {
  platform::closeFile(reinterpret_cast<platform::FileHandle>(handle));
  return true;
}

// The job file of a write given up on a stalled share: it may stand while
// the blocked write holds it (Windows), never after.
TEST(TimedCall, AFileAGivenUpWriterHoldsGoesWhenTheWriterLetsGo) {
  testing_support::ScratchFolder folder("spl-held");
  const std::string path = folder.join("job.prn");
  platform::FileHandle file = platform::openFile(path.c_str(), platform::OpenMode::CreateAlways);
  ASSERT_TRUE(file);
  g_letGo = false;
  auto writer = spool::BlockingWriter::start(reinterpret_cast<intptr_t>(file), &stalledWrite, &closeFile, &closeFile);
  ASSERT_TRUE(writer);
  SendControl control;
  control.timeoutMs = 200;
  const char bytes[4] = {1, 2, 3, 4};
  EXPECT_EQ(SendResult::kTimedOut, writer->write(bytes, sizeof bytes, control));
  EXPECT_FALSE(writer->close());
  writer->removeFile(path.c_str());
  g_letGo = true;
  for (int i = 0; i < 200 && platform::pathExists(path.c_str()); ++i) platform::sleepMilliseconds(10);
  EXPECT_FALSE(platform::pathExists(path.c_str()));
}

}  // namespace
