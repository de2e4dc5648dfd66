#include "platform/module.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/path.h"

namespace {

int functionInTheProgram() {
  return 42;
}

TEST(ModuleTest, TheProgramKnowsItsOwnFile) {
  char program[platform::kMaxPath];
  ASSERT_TRUE(platform::moduleFileName(nullptr, program, sizeof program));
  EXPECT_TRUE(platform::pathExists(program)) << program;
  EXPECT_NE(std::string(platform::fileNamePart(program)).find("platform_tests"), std::string::npos) << program;

  // An address inside the program names the same file.
  char byAddress[platform::kMaxPath];
  ASSERT_TRUE(
      platform::moduleFileName(reinterpret_cast<const void*>(&functionInTheProgram), byAddress, sizeof byAddress));
  EXPECT_STREQ(byAddress, program);
  EXPECT_NE(platform::libraryOf(reinterpret_cast<const void*>(&functionInTheProgram)), nullptr);

  char tiny[4];
  EXPECT_FALSE(platform::moduleFileName(nullptr, tiny, sizeof tiny));
  EXPECT_STREQ(tiny, "");
}

TEST(ModuleTest, MissingLibrariesAndSymbolsAreNull) {
  EXPECT_EQ(platform::loadLibrary("no-such-library-here.dll"), nullptr);
  EXPECT_EQ(platform::librarySymbol(nullptr, "x"), nullptr);
  EXPECT_EQ(platform::libraryOf(nullptr), nullptr);
  EXPECT_EQ(platform::environmentValue("VLX_SURELY_UNSET_VARIABLE"), nullptr);
}

TEST(ClockTest, LocalNowIsAPlausibleDate) {
  platform::LocalTime now = platform::localNow();
  EXPECT_GE(now.year, 2020);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  EXPECT_GT(platform::secondsSinceEpoch(), 1577836800);  // after 2020-01-01
}

}  // namespace
