// The connection to the drawing library at start-up, over the real library:
// the Mervale variant names its tag, describes its format and registers its
// file type, once across any number of starts; the other variants leave the
// library's registrations alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Draw.h"
#include "app/shell/drawing_link.h"
#include "app/shell/variant.h"
#include "platform/scratch_folder.h"

namespace vlx {
namespace {

void useTypeStore(const std::string& path) {
  testing_support::setEnvironment("VLX_DRAW_TYPES", path.c_str());
}

int32_t start(int variant) {
  const int32_t document =
      openDrawingLibrary(nullptr, DrawingLinkSetup{"", "", variantRecord(variant).registersFileType});
  jFileSetDRXTag("");
  return document;
}

void stop(int32_t document) {
  closeDrawingDocument(&document);
  closeDrawingLibrary();
}

TEST(DrawingLink, MervaleRegistersItsFileTypeOnceAndTheOthersNone) {
  testing_support::ScratchFolder folder;
  const std::string store = folder.join("DRXTYPES.TXT");
  useTypeStore(store);
  for (int other : {kQuaddle, kTagwright, kBannerforge}) {
    const int32_t document = start(other);
    EXPECT_NE(document, 0);
    stop(document);
  }
  EXPECT_FALSE(platform::pathExists(store.c_str())) << "no registration by the other variants";

  stop(start(kMervale));
  const std::string first = testing_support::readBytes(store);
  stop(start(kMervale));
  EXPECT_EQ(testing_support::readBytes(store), first) << "a second start registers nothing new";

  ASSERT_EQ(jFileSetDRXTag("MRVX"), 1);
  jDrxInfo info{};
  ASSERT_EQ(jFileGetDRXInfo(&info), 1);
  EXPECT_STREQ("MRV", info.formatCode);
  EXPECT_STREQ("Mervale", info.productName);
  const int type = jFileGetFinfoNum(16, 0);
  EXPECT_EQ(type, 16);
  jFileTypeInfo record{};
  ASSERT_EQ(jFileGetFinfo(&record, type), &record);
  EXPECT_STREQ(".mvx", record.extension);
  EXPECT_STREQ("Mervale (*.MVX)|*.mvx|", record.filter);
  jFileSetDRXTag("");
  useTypeStore("");
}

}  // namespace
}  // namespace vlx
