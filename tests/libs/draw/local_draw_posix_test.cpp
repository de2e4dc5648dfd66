// The drawing library loaded without global symbols, as a plug-in host may
// load it: each shared library then keeps its own copy of our platform code,
// and a dry run (the library takes the printing lock, then the driver takes
// it again on the same thread) must still end, not wait for itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "job_maker.h"
#include "libs/draw/job_file.h"
#include "platform/clock.h"
#include "platform/path.h"
#include "plugin_folder.h"
#include "printing_fixture.h"

namespace {

constexpr long long kBoundMs = 30000;  // the run takes about a second

std::string besideThisProgram(const char* name) {
  const std::string plugin = draw_test::builtPluginPath();
  return plugin.substr(0, plugin.size() - std::string(draw_test::pluginFileName()).size()) + name;
}

TEST(LocalDraw, ADryRunOfADrawLoadedWithoutGlobalSymbolsEndsWithinItsBound) {
  draw_test::PluginFolder printer;
  ASSERT_TRUE(printer.ready());
  testing_support::ScratchFolder out, jobs;
  ASSERT_TRUE(testing_support::writeBytes(printer.join("DEVICE.rgs"),
                                          draw_test::deviceLine("RX-3 file", "EPSON RX-3", "FILE:" + out.path())));
  const std::string job = jobs.join("job.vjx");
  ASSERT_TRUE(jobfile::writeJobFile(job.c_str(), draw_test::sampleJob("EPSON RX-3", 30, 25)));
  std::string probe = besideThisProgram("local_draw_probe");
  std::string draw = besideThisProgram("Draw.so");
  std::string folder = printer.path();
  char* argv[] = {probe.data(), draw.data(), folder.data(), const_cast<char*>(job.c_str()), nullptr};
  pid_t child = -1;
  ASSERT_EQ(0, posix_spawn(&child, probe.c_str(), nullptr, nullptr, argv, environ));
  const long long start = platform::monotonicMilliseconds();
  int status = 0;
  pid_t ended = 0;
  while ((ended = waitpid(child, &status, WNOHANG)) == 0 && platform::monotonicMilliseconds() - start < kBoundMs)
    platform::sleepMilliseconds(20);
  if (ended == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "the dry run did not end within " << kBoundMs << " ms: it waits for its own lock";
  }
  ASSERT_EQ(ended, child);
  EXPECT_TRUE(WIFEXITED(status)) << "signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the run did not go through";
}

}  // namespace
