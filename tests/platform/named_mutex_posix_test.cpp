// Exclusion across processes: the test program starts itself again as a
// child that only takes the lock and leaves a mark.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/named_mutex.h"

extern char** environ;

namespace {

constexpr const char* kChildVariable = "VLX_TEST_MUTEX_CHILD";

bool exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

TEST(NamedMutexChild, TakesTheLockAndLeavesAMark) {
  const char* mark = std::getenv(kChildVariable);
  if (!mark) GTEST_SKIP() << "runs only as the child of the cross-process test";
  platform::NamedLock lock("VLX_TEST_PROCESSES");
  int fd = open(mark, O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  close(fd);
}

TEST(NamedMutex, AnotherProcessWaitsForTheHolder) {
  if (std::getenv(kChildVariable)) GTEST_SKIP();
  std::string mark = "/tmp/vlx-mutex-mark-" + std::to_string(getpid());
  unlink(mark.c_str());
  platform::NamedMutex* m = platform::openNamedMutex("VLX_TEST_PROCESSES");
  platform::lockNamedMutex(m);

  std::string variable = std::string(kChildVariable) + "=" + mark;
  std::string filter = "--gtest_filter=NamedMutexChild.*";
  char self[] = "/proc/self/exe";
  char* argv[] = {self, filter.data(), nullptr};
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  env.push_back(variable.data());
  env.push_back(nullptr);
  pid_t child = -1;
  ASSERT_EQ(0, posix_spawn(&child, self, nullptr, nullptr, argv, env.data()));

  platform::sleepMilliseconds(500);
  EXPECT_FALSE(exists(mark)) << "the child got the lock while this process held it";
  platform::unlockNamedMutex(m);
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(exists(mark));
  unlink(mark.c_str());
  platform::closeNamedMutex(m);
}

}  // namespace
