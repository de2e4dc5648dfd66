// The drawing library's profile set-up with profiles as the installation
// writes them, and the environment's apply step over the real library.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Draw.h"
#include "app/shell/app_defaults.h"
#include "app/shell/environment_file.h"
#include "libs/press/icc_writer.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

using Bytes = std::vector<unsigned char>;
using testing_support::ScratchFolder;

void putBe32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

class ColorProfilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(icc::writeDefaultProfiles(folder_.path().c_str())); }
  // The pair is the process's: later prints must not go through this
  // folder's profiles (or make its papers' profiles first).
  void TearDown() override { jCol2SetupProfile("", "", 0); }

  // A damaged copy of the RGB profile.
  std::string variantOfRgb(const char* name, void (*damage)(Bytes&)) {
    Bytes bytes = icc::rgbDisplayProfile();
    damage(bytes);
    const std::string path = folder_.join(name);
    EXPECT_TRUE(icc::writeProfile(path.c_str(), bytes));
    return path;
  }

  ScratchFolder folder_;
  const std::string rgb_ = folder_.join(kDefaultRgbProfileName);
  const std::string cmyk_ = folder_.join(kDefaultCmykProfileName);
};

TEST_F(ColorProfilesTest, InstalledPairIsAcceptedForEveryIntent) {
  for (int intent = 0; intent <= 3; ++intent) EXPECT_EQ(1, jCol2SetupProfile(rgb_.c_str(), cmyk_.c_str(), intent));
}

TEST_F(ColorProfilesTest, RefusesIntentsOutsideZeroToThree) {
  EXPECT_EQ(0, jCol2SetupProfile(rgb_.c_str(), cmyk_.c_str(), -1));
  EXPECT_EQ(0, jCol2SetupProfile(rgb_.c_str(), cmyk_.c_str(), 4));
}

TEST_F(ColorProfilesTest, RefusesMissingSwappedAndEmptyProfiles) {
  EXPECT_EQ(0, jCol2SetupProfile(cmyk_.c_str(), rgb_.c_str(), 0));
  EXPECT_EQ(0, jCol2SetupProfile(rgb_.c_str(), rgb_.c_str(), 0));
  EXPECT_EQ(0, jCol2SetupProfile(folder_.join("none.icm").c_str(), cmyk_.c_str(), 0));
  EXPECT_EQ(0, jCol2SetupProfile("", cmyk_.c_str(), 0));
  EXPECT_EQ(0, jCol2SetupProfile(nullptr, nullptr, 0));
  EXPECT_EQ(0, jCol2SetupProfile(folder_.path().c_str(), cmyk_.c_str(), 0));  // a folder
}

TEST_F(ColorProfilesTest, RefusesDamagedProfiles) {
  const std::vector<std::string> damaged = {
      variantOfRgb("short.icm", [](Bytes& b) { b.resize(100); }),
      variantOfRgb("cut.icm", [](Bytes& b) { b.resize(b.size() - 4); }),
      variantOfRgb("signature.icm", [](Bytes& b) { b[36] = 'x'; }),
      variantOfRgb("version.icm", [](Bytes& b) { b[8] = 3; }),
      variantOfRgb("space.icm", [](Bytes& b) { std::memcpy(&b[16], "GRAY", 4); }),
      variantOfRgb("notags.icm", [](Bytes& b) { putBe32(b, 128, 0); }),
      variantOfRgb("manytags.icm", [](Bytes& b) { putBe32(b, 128, 0xFFFFFFFF); }),
      variantOfRgb("tagout.icm", [](Bytes& b) { putBe32(b, 132 + 4, static_cast<std::uint32_t>(b.size())); }),
      variantOfRgb("tagwrap.icm", [](Bytes& b) { putBe32(b, 132 + 8, 0xFFFFFFF0); }),
      variantOfRgb("bigsize.icm", [](Bytes& b) { putBe32(b, 0, 0xFFFFFFFF); }),
  };
  for (const std::string& path : damaged) EXPECT_EQ(0, jCol2SetupProfile(path.c_str(), cmyk_.c_str(), 0)) << path;
  // Padding after the declared size is tolerated.
  const std::string padded = variantOfRgb("padded.icm", [](Bytes& b) { b.resize(b.size() + 16, 0); });
  EXPECT_EQ(1, jCol2SetupProfile(padded.c_str(), cmyk_.c_str(), 0));
}

TEST_F(ColorProfilesTest, WrittenProfilesHaveTheirClassesAndSpaces) {
  const Bytes rgb = icc::rgbDisplayProfile();
  const Bytes cmyk = icc::cmykOutputProfile();
  EXPECT_EQ("mntrRGB XYZ ", std::string(rgb.begin() + 12, rgb.begin() + 24));
  EXPECT_EQ("prtrCMYKLab ", std::string(cmyk.begin() + 12, cmyk.begin() + 24));
  EXPECT_EQ(2, rgb[8]);
  EXPECT_EQ(0u, rgb.size() % 4);
  EXPECT_EQ(icc::rgbDisplayProfile(), rgb);  // the same bytes on every run
}

TEST_F(ColorProfilesTest, NeverConfiguredEnvironmentGetsTheInstalledProfiles) {
  AppState state{};
  setDefaults(&state, variantRecord(kQuaddle));
  applyEnvironment(&state, folder_.path().c_str(), jCol2SetupProfile);
  EXPECT_EQ(rgb_, state.rgbProfile);
  EXPECT_EQ(cmyk_, state.cmykProfile);
  EXPECT_EQ(0, state.intent);

  // Without the profile files the pair is dropped.
  ScratchFolder empty;
  setDefaults(&state, variantRecord(kQuaddle));
  applyEnvironment(&state, empty.path().c_str(), jCol2SetupProfile);
  EXPECT_STREQ("", state.rgbProfile);
  EXPECT_STREQ("", state.cmykProfile);
  EXPECT_EQ(0, state.intent);
}

}  // namespace
}  // namespace vlx
