#include "platform/named_mutex.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// Long enough for a thread that is not blocked to take the lock.
constexpr int kSettleMs = 150;

// Whether a second thread of this process gets the lock within kSettleMs;
// the thread is left to take it eventually and is joined by the caller.
struct Contender {
  explicit Contender(const char* name)
      : thread([this, name] {
          platform::NamedMutex* m = platform::openNamedMutex(name);
          platform::lockNamedMutex(m);
          acquired = true;
          platform::unlockNamedMutex(m);
          platform::closeNamedMutex(m);
        }) {}
  bool acquiredSoon() {
    platform::sleepMilliseconds(kSettleMs);
    return acquired;
  }
  std::atomic<bool> acquired{false};
  std::thread thread;
};

TEST(NamedMutex, HoldingThreadMayLockAgainAndOthersWaitForTheLastUnlock) {
  platform::NamedMutex* m = platform::openNamedMutex("VLX_TEST_REENTRANT");
  ASSERT_NE(nullptr, m);
  platform::lockNamedMutex(m);
  platform::lockNamedMutex(m);
  Contender other("VLX_TEST_REENTRANT");
  platform::unlockNamedMutex(m);
  EXPECT_FALSE(other.acquiredSoon()) << "one unlock of two keeps the lock";
  platform::unlockNamedMutex(m);
  other.thread.join();
  EXPECT_TRUE(other.acquired);
  platform::closeNamedMutex(m);
}

TEST(NamedMutex, UnlockByAThreadThatDoesNotHoldItChangesNothing) {
  platform::NamedMutex* m = platform::openNamedMutex("VLX_TEST_FOREIGN_UNLOCK");
  platform::lockNamedMutex(m);
  std::thread([] {
    platform::NamedMutex* mine = platform::openNamedMutex("VLX_TEST_FOREIGN_UNLOCK");
    platform::unlockNamedMutex(mine);
    platform::closeNamedMutex(mine);
  }).join();
  Contender other("VLX_TEST_FOREIGN_UNLOCK");
  EXPECT_FALSE(other.acquiredSoon());
  platform::unlockNamedMutex(m);
  other.thread.join();
  platform::closeNamedMutex(m);
}

TEST(NamedMutex, DifferentNamesAreDifferentLocks) {
  platform::NamedLock held("VLX_TEST_NAME_A");
  Contender other("VLX_TEST_NAME_B");
  EXPECT_TRUE(other.acquiredSoon());
  other.thread.join();
}

TEST(NamedMutex, ScopedLockReleasesAtTheEndOfItsScope) {
  std::unique_ptr<Contender> waiting;
  {
    platform::NamedLock lock("VLX_TEST_SCOPED");
    platform::NamedLock again("VLX_TEST_SCOPED");
    waiting = std::make_unique<Contender>("VLX_TEST_SCOPED");
    EXPECT_FALSE(waiting->acquiredSoon());
  }
  waiting->thread.join();
  EXPECT_TRUE(waiting->acquired);
}

}  // namespace

namespace {

// A timed wait gives up while another thread holds the lock, takes it once
// it is free, and lets the holder lock again at once.
TEST(NamedMutex, ATimedWaitGivesUpOnAHeldLockAndTakesAFreeOne) {
  platform::NamedMutex* held = platform::openNamedMutex("VLX_TEST_TIMED");
  ASSERT_NE(nullptr, held);
  platform::lockNamedMutex(held);
  std::atomic<int> verdict{-1};
  std::thread other([&] {
    platform::NamedMutex* m = platform::openNamedMutex("VLX_TEST_TIMED");
    verdict = platform::lockNamedMutexFor(m, 100) ? 1 : 0;
    if (verdict == 1) platform::unlockNamedMutex(m);
    platform::closeNamedMutex(m);
  });
  other.join();
  EXPECT_EQ(0, verdict.load()) << "held by another thread";
  EXPECT_TRUE(platform::lockNamedMutexFor(held, 0)) << "the holder locks again";
  platform::unlockNamedMutex(held);
  platform::unlockNamedMutex(held);
  std::thread free([&] {
    platform::NamedMutex* m = platform::openNamedMutex("VLX_TEST_TIMED");
    verdict = platform::lockNamedMutexFor(m, 1000) ? 1 : 0;
    if (verdict == 1) platform::unlockNamedMutex(m);
    platform::closeNamedMutex(m);
  });
  free.join();
  EXPECT_EQ(1, verdict.load());
  platform::closeNamedMutex(held);
}

}  // namespace
