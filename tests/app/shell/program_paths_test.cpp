#include "app/shell/program_paths.h"

#include <gtest/gtest.h>

#include <string>

#include "app/shell/app_defaults.h"
#include "platform/folders.h"
#include "platform/module.h"
#include "platform/path.h"

namespace vlx {
namespace {

// Test paths are written with '/'; the platform's own separator replaces it.
std::string sys(std::string path) {
  for (char& c : path) {
    if (c == '/') c = platform::kSeparator;
  }
  return path;
}

struct Built {
  bool ok;
  ProgramPaths paths;
  AppState state;
};

Built build(const std::string& programPath) {
  Built b{};
  setDefaults(&b.state, variantRecord(kQuaddle));
  b.ok = buildProgramPaths(programPath.c_str(), &b.paths, &b.state);
  return b;
}

TEST(ProgramPaths, EverythingLivesBesideTheProgram) {
  const Built b = build(sys("/opt/vellox/vellox.exe"));
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.paths.folder, sys("/opt/vellox"));
  EXPECT_EQ(b.paths.programPath, sys("/opt/vellox/vellox.exe"));
  EXPECT_EQ(b.state.environmentPath, sys("/opt/vellox/vellox.ENV"));
  EXPECT_EQ(b.state.hotFolder, sys("/opt/vellox/HotFolder"));
  EXPECT_EQ(b.state.printedFolder, sys("/opt/vellox/MoveFolder"));
  EXPECT_EQ(b.state.printerFolder, sys("/opt/vellox/printer"));
  EXPECT_EQ(b.paths.deviceRegistry, sys("/opt/vellox/printer/DEVICE.rgs"));
  EXPECT_EQ(b.paths.fontList, sys("/opt/vellox/Tagwright.ini"));
  EXPECT_EQ(b.paths.fontFolder, sys("/opt/vellox/FONT"));
}

TEST(ProgramPaths, EnvironmentFileNameComesFromTheProgramName) {
  // No extension: the whole name is kept.
  EXPECT_EQ(build(sys("/opt/vellox/vellox")).state.environmentPath, sys("/opt/vellox/vellox.ENV"));
  // A dot in a folder name is not an extension.
  EXPECT_EQ(build(sys("/opt/v3.1/vellox")).state.environmentPath, sys("/opt/v3.1/vellox.ENV"));
  // Only the last extension is cut.
  EXPECT_EQ(build(sys("/opt/v/vellox.old.exe")).state.environmentPath, sys("/opt/v/vellox.old.ENV"));
  EXPECT_EQ(build(sys("/opt/v/queue.EXE")).state.environmentPath, sys("/opt/v/queue.ENV"));
}

TEST(ProgramPaths, DoubleByteFolderNamesStayWhole) {
  // 表 and ソ end in the byte 0x5C, the Windows separator.
  const Built b = build(sys("/opt/表ソ/vellox.exe"));
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.paths.folder, sys("/opt/表ソ"));
  EXPECT_EQ(b.state.hotFolder, sys("/opt/表ソ/HotFolder"));
  EXPECT_EQ(b.state.environmentPath, sys("/opt/表ソ/vellox.ENV"));
}

TEST(ProgramPaths, ProgramWithoutFolderIsRefused) {
  const Built b = build("vellox.exe");
  EXPECT_FALSE(b.ok);
  EXPECT_STREQ(b.state.hotFolder, "");
}

// Length of the folder whose longest derived path ("printer/DEVICE.rgs")
// exactly fills 260 bytes with its terminator.
constexpr std::size_t kLongestSuffix = sizeof("/printer/DEVICE.rgs") - 1;
constexpr std::size_t kDeepestFolder = kPathCapacity - 1 - kLongestSuffix;

std::string folderOfLength(std::size_t length) {
  std::string folder = "/";
  while (folder.size() < length) folder += (folder.size() % 20 == 0) ? '/' : 'd';
  folder.back() = 'd';
  return sys(folder);
}

TEST(ProgramPaths, DeepestFolderThatFitsIsAccepted) {
  const std::string folder = folderOfLength(kDeepestFolder);
  const Built b = build(folder + sys("/v.exe"));
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(std::string(b.paths.deviceRegistry).size(), kPathCapacity - 1);
  EXPECT_EQ(b.paths.folder, folder);
}

TEST(ProgramPaths, FolderTooDeepForAnyPathRefusesAllAndCutsNone) {
  const Built b = build(folderOfLength(kDeepestFolder + 1) + sys("/v.exe"));
  EXPECT_FALSE(b.ok);
  // Nothing half-built may be used: every path is empty.
  EXPECT_STREQ(b.state.environmentPath, "");
  EXPECT_STREQ(b.state.hotFolder, "");
  EXPECT_STREQ(b.state.printedFolder, "");
  EXPECT_STREQ(b.state.printerFolder, "");
  EXPECT_STREQ(b.paths.folder, "");
  EXPECT_STREQ(b.paths.deviceRegistry, "");
  // The settings are left alone.
  EXPECT_EQ(b.state.holdJobs, 20);
}

TEST(ProgramPaths, ProgramPathThatDoesNotFitIsRefused) {
  const std::string tooLong = sys("/opt/") + std::string(kPathCapacity, 'x') + ".exe";
  EXPECT_FALSE(build(tooLong).ok);
}

TEST(ProgramFolderSwitch, WithoutOverrideTheModuleIsTheProgram) {
  char out[kPathCapacity];
  ASSERT_TRUE(effectiveProgramPath(sys("/opt/v/vellox.exe").c_str(), nullptr, out, sizeof out));
  EXPECT_EQ(out, sys("/opt/v/vellox.exe"));
  ASSERT_TRUE(effectiveProgramPath(sys("/opt/v/vellox.exe").c_str(), "", out, sizeof out));
  EXPECT_EQ(out, sys("/opt/v/vellox.exe"));
}

TEST(ProgramFolderSwitch, OverrideKeepsTheProgramNameInTheOtherFolder) {
  char out[kPathCapacity];
  ASSERT_TRUE(effectiveProgramPath(sys("/opt/v/vellox.exe").c_str(), sys("/srv/home/").c_str(), out, sizeof out));
  EXPECT_EQ(out, sys("/srv/home/vellox.exe"));
  const std::string deep = folderOfLength(kPathCapacity - 5);
  EXPECT_FALSE(effectiveProgramPath(sys("/opt/v/vellox.exe").c_str(), deep.c_str(), out, sizeof out));
  EXPECT_STREQ(out, "");
}

class WorkFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    char module[kPathCapacity];
    ASSERT_TRUE(platform::moduleFileName(nullptr, module, sizeof module));
    char folder[kPathCapacity];
    ASSERT_TRUE(platform::folderPart(module, folder, sizeof folder));
    home_ = std::string(folder) + platform::kSeparator + "shell-work-folders";
    removeAll();
    ASSERT_TRUE(platform::createFolder(home_.c_str()));
  }
  void TearDown() override { removeAll(); }

  void removeAll() {
    platform::removeFolder((home_ + sys("/HotFolder")).c_str());
    platform::removeFolder((home_ + sys("/MoveFolder")).c_str());
    platform::removeFolder(home_.c_str());
  }

  std::string home_;
};

TEST_F(WorkFolders, HotAndPrintedFoldersAreCreatedBesideTheProgram) {
  const Built b = build(home_ + sys("/vellox.exe"));
  ASSERT_TRUE(b.ok);
  createWorkFolders(b.state);
  EXPECT_TRUE(platform::isFolder(b.state.hotFolder));
  EXPECT_TRUE(platform::isFolder(b.state.printedFolder));
  EXPECT_FALSE(platform::pathExists(b.state.printerFolder));
  // A second start finds them in place.
  createWorkFolders(b.state);
  EXPECT_TRUE(platform::isFolder(b.state.hotFolder));
}

TEST_F(WorkFolders, MissingParentIsIgnored) {
  const Built b = build(home_ + sys("/gone/vellox.exe"));
  ASSERT_TRUE(b.ok);
  createWorkFolders(b.state);
  EXPECT_FALSE(platform::pathExists(b.state.hotFolder));
}

}  // namespace
}  // namespace vlx
