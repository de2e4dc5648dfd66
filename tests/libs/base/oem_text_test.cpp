#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Base.h"
#include "platform/module.h"
#include "platform/scratch_folder.h"

namespace {

using testing_support::readBytes;
using testing_support::ScratchFolder;
using testing_support::writeBytes;

void setVariable(const char* value) {
#if defined(_WIN32)
  _putenv_s("VLX_OEM_TEXT", value ? value : "");
#else
  if (value)
    setenv("VLX_OEM_TEXT", value, 1);
  else
    unsetenv("VLX_OEM_TEXT");
#endif
}

class OemTextTest : public testing::Test {
 protected:
  void SetUp() override { setVariable(nullptr); }
  void TearDown() override {
    setVariable(nullptr);
    jOemSetText(nullptr);
  }
};

TEST_F(OemTextTest, ProcessOverrideWinsOverTheVariable) {
  setVariable("Mervale");
  EXPECT_STREQ(jOemText(0), "Mervale");
  jOemSetText("Bannerforge");
  EXPECT_STREQ(jOemText(0), "Bannerforge");
  jOemSetText(nullptr);
  EXPECT_STREQ(jOemText(0), "Mervale");
  EXPECT_STREQ(jOemText(1), "");  // only keyword 0 exists
  jOemSetText("");
  EXPECT_STREQ(jOemText(0), "");
}

// A private copy of the library, with an OEM.TXT of its own beside it, so the
// file read is seen without touching the library the other tests load.
TEST_F(OemTextTest, FirstLineOfTheFileBesideTheLibrary) {
  char library[platform::kMaxPath];
  ASSERT_TRUE(platform::moduleFileName(reinterpret_cast<const void*>(&jOemText), library, sizeof library));
  ScratchFolder scratch;
  const std::string copy = scratch.join(platform::fileNamePart(library));
  ASSERT_TRUE(writeBytes(copy, readBytes(library)));
  ASSERT_TRUE(writeBytes(scratch.join("OEM.TXT"), "Tagwright  \r\nsecond line\r\n"));

  platform::Library loaded = platform::loadLibrary(copy.c_str());
  ASSERT_NE(loaded, nullptr) << copy;
  auto oemText = reinterpret_cast<const char* (*)(int)>(platform::librarySymbol(loaded, "jOemText"));
  auto setText = reinterpret_cast<void (*)(const char*)>(platform::librarySymbol(loaded, "jOemSetText"));
  ASSERT_NE(oemText, nullptr);
  ASSERT_NE(setText, nullptr);
  EXPECT_STREQ(oemText(0), "Tagwright");
  EXPECT_TRUE(platform::deleteFile(scratch.join("OEM.TXT").c_str()));
  EXPECT_STREQ(oemText(0), "Tagwright");  // read once
  setText(nullptr);
  EXPECT_STREQ(oemText(0), "");  // read again: the file is gone
  setVariable("Quaddle\r\n");
  EXPECT_STREQ(oemText(0), "Quaddle");
  platform::freeLibrary(loaded);
}

}  // namespace
