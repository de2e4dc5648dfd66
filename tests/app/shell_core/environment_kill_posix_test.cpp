// The environment file survives a writer killed at any moment.
#include <gtest/gtest.h>

#include "app/shell/app_defaults.h"
#include "app/shell/environment_file.h"
#include "platform/kill_writer_posix.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

TEST(EnvironmentFileKill, AKilledWriterLeavesTheOldFileOrTheNewOneNeverATornOne) {
  testing_support::ScratchFolder folder;
  const std::string path = folder.join("vellox.ENV");
  AppState state{};
  setDefaults(&state, variantRecord(kQuaddle));
  EXPECT_EQ(0, testing_support::tornFilesAfterKills({path}, [&](int v) {
              state.holdJobs = v ? 250 : 7;
              return writeEnvironment(path.c_str(), &state) == 1;
            }));
}

}  // namespace
}  // namespace vlx
